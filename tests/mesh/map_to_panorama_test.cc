#include "mesh/rectangle_mesh.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>

namespace roombox {
namespace {

TEST(MapToPanorama, DirectionsOnAnEightByFourPanorama) {
  const struct {
    const char* name;
    float x, y, z;
    int row, col;
  } cases[] = {
      {"+z pole", 0, 0, 5, 0, 2},          {"origin", 0, 0, 0, 0, 2},
      {"+x", 3, 0, 0, 2, 0},               {"-y", 0, -3, 0, 2, 2},
      {"-x", -3, 0, 0, 2, 4},              {"+y", 0, 3, 0, 2, 6},
      {"-z: last row", 0, 0, -2, 3, 2},    {"just short of 2 pi", 1, 1e-6f, 0, 2, 7},
      {"just past 0", 1, -1e-6f, 0, 2, 0}, {"x > 0, y < 0", 1, -1, 0, 2, 1},
      {"x < 0, y < 0", -1, -1, 0, 2, 3},   {"x < 0, y > 0", -1, 1, 0, 2, 5},
      {"NaN", std::numeric_limits<float>::quiet_NaN(), 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    const PanoramaPixel pixel = mapToPanorama(c.x, c.y, c.z, 8, 4);
    EXPECT_EQ(pixel.row, c.row) << c.name;
    EXPECT_EQ(pixel.col, c.col) << c.name;
  }
  EXPECT_EQ(mapToPanorama(1, 2, 3, 0, 0).col, 0);
}

TEST(MapToPanorama, PoleColumnIsAQuarterOfTheWidth) {
  // A quarter of the width rounded half up, within the image.
  const int cases[][2] = {{1, 0},   {2, 1},     {4, 1},      {6, 2},
                          {8, 2},   {100, 25},  {1000, 250}, {2048, 512}};
  for (const auto& c : cases) {
    const PanoramaPixel pixel = mapToPanorama(0, 0, 1, c[0], 50);
    EXPECT_EQ(pixel.row, 0) << c[0];
    EXPECT_EQ(pixel.col, c[1]) << c[0];
  }
}

// Points without a polar angle (r = 0, also when the squares underflow) or
// without an azimuth (on the z axis) get their fixed pixel without any
// invalid operation such as 0 / 0 on the way.
TEST(MapToPanorama, OriginAndZAxisRaiseNoInvalidOperation) {
  const struct {
    const char* name;
    float x, y, z;
    int row, col;
  } cases[] = {
      {"origin", 0, 0, 0, 0, 2},
      {"-0 origin", -0.0f, -0.0f, -0.0f, 0, 2},
      {"+z pole", 0, 0, 5, 0, 2},
      {"-z pole", 0, 0, -5, 3, 2},
      {"underflow on x", 1e-30f, 0, 0, 0, 0},
      {"underflow below the origin", 0, 0, -1e-30f, 0, 2},
  };
  for (const auto& c : cases) {
    std::feclearexcept(FE_ALL_EXCEPT);
    const PanoramaPixel pixel = mapToPanorama(c.x, c.y, c.z, 8, 4);
    EXPECT_EQ(std::fetestexcept(FE_INVALID), 0) << c.name;
    EXPECT_EQ(pixel.row, c.row) << c.name;
    EXPECT_EQ(pixel.col, c.col) << c.name;
  }
}

TEST(DecodeMaterials, BitsOneToElevenOfTheTruncatedCode) {
  const struct {
    float material;
    int expected[12];
  } cases[] = {
      {6.0f, {0, 1, 1}},
      {6.9f, {0, 1, 1}},
      {1.0f, {0}},
      {2050.0f, {0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}},
      {4096.0f, {0}},
      {-6.0f, {0, -1, -1}},
      {1e10f, {0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
      {-1e10f, {0}},
      {std::numeric_limits<float>::quiet_NaN(), {0}},
  };
  for (const auto& c : cases) {
    int out[12] = {7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7};
    decodeMaterials(c.material, out);
    for (int k = 0; k < 12; ++k) EXPECT_EQ(out[k], c.expected[k]) << c.material << " bit " << k;
  }
}

}  // namespace
}  // namespace roombox
