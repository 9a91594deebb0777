// The equirectangular projection the baked atlas and the preview share: the
// approximate arc tangent and the panorama positions of a row of points,
// against the exact angles.
#include "common/panorama_projection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace roombox {
namespace {

// Difference of two angles, taken around the circle.
double angleGap(double a, double b) {
  double d = std::fabs(a - b);
  while (d > kPi) d = std::fabs(d - 2 * kPi);
  return d;
}

TEST(ApproxAtan2, StaysWithinTwoMicroradiansInEveryQuadrant) {
  double worst = 0;
  for (const double radius : {1e-6, 0.37, 1.0, 2.5, 1e4}) {
    for (int k = 0; k < 100000; ++k) {
      const double angle = -kPi + 2 * kPi * (k + 0.5) / 100000;
      const float x = static_cast<float>(radius * std::cos(angle));
      const float y = static_cast<float>(radius * std::sin(angle));
      worst = std::max(worst, angleGap(approxAtan2(y, x), std::atan2(double{y}, double{x})));
    }
  }
  EXPECT_LT(worst, 2.5e-6);
  // The axes, the diagonals and the origin.
  const float cases[][2] = {{0, 1}, {1, 0}, {0, -1}, {-1, 0}, {1, 1}, {-1, -1}, {1, -1}, {-1, 1}};
  for (const auto& c : cases) {
    EXPECT_LT(angleGap(approxAtan2(c[0], c[1]), std::atan2(c[0], c[1])), 2.5e-6)
        << c[0] << ", " << c[1];
  }
  EXPECT_EQ(approxAtan2(0.0f, 0.0f), 0.0f);
}

TEST(PanoramaPositions, MatchTheExactAnglesAlongARowOfPoints) {
  const int width = 8192;
  const int height = 4096;
  struct Row {
    const char* name;
    float start[3];
    float step[3];
  };
  // Across the seam at azimuth 0, a few millimetres past the point straight
  // below (where the azimuth turns half a circle), and from the point
  // straight above.
  const Row rows[] = {{"seam", {2, -1, 0.3f}, {0, 0.01f, 0}},
                      {"nadir", {-1, 0.003f, -1.4f}, {0.01f, 0, 0}},
                      {"zenith", {0, 0, 1}, {0.001f, 0.001f, 0}}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const int count = 200;
    std::vector<float> px(count), py(count);
    panoramaPositions(row.start, row.step, count, width, height, px.data(), py.data());
    for (int k = 0; k < count; ++k) {
      const double x = row.start[0] + row.step[0] * static_cast<double>(k);
      const double y = row.start[1] + row.step[1] * static_cast<double>(k);
      const double z = row.start[2] + row.step[2] * static_cast<double>(k);
      double phi = std::atan2(-y, x);
      if (phi < 0) phi += 2 * kPi;
      const double theta = std::atan2(std::hypot(x, y), z);
      // Columns compared around the seam.
      double columnGap = std::fabs(px[k] - (phi / (2 * kPi) * width - 0.5));
      columnGap = std::min(columnGap, std::fabs(columnGap - width));
      EXPECT_LT(columnGap, 0.02) << k;
      EXPECT_NEAR(py[k], theta / kPi * height - 0.5, 0.02) << k;
      EXPECT_GE(px[k], -0.5f - 0.01f);
      EXPECT_LE(px[k], width - 0.5f + 0.01f);
    }
  }
  // The origin gives the top row.
  const float origin[3] = {0, 0, 0};
  float px = 0, py = 0;
  panoramaPositions(origin, origin, 1, width, height, &px, &py);
  EXPECT_FLOAT_EQ(py, -0.5f);
}

}  // namespace
}  // namespace roombox
