#include "cuboids/cuboid_growth.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace roombox {
namespace {

// A plane with its equation; only the normal (a, b, c) matters for growth.
struct Input {
  float active, type, position, uMin, uMax, vMin, vMax;
  float a, b, c;
};

struct GrowCase {
  std::string name;
  std::vector<Input> planes;
  int expectedCount;
  int boxIndex;  // the box compared with `box`
  float box[6];  // minX, maxX, minY, maxY, minZ, maxZ
};

// Grows the boxes of the planes described by inputs (category 4, material 6).
std::vector<Cuboid> grow(const std::vector<Input>& inputs) {
  std::vector<Plane> planes;
  std::vector<PlaneEquation> equations;
  for (const Input& p : inputs) {
    planes.push_back(
        Plane{p.active, p.type, p.position, p.uMin, p.uMax, p.vMin, p.vMax, 0, 0, 0, 4, 6});
    equations.push_back(PlaneEquation{p.a, p.b, p.c, 0});
  }
  return reconstructCuboids(planes, equations);
}

// Same bits: a bound of -0 must not come out as +0.
bool sameBits(float x, float y) { return std::memcmp(&x, &y, sizeof x) == 0; }

// The seed of the worked example: type 2, b = 1, at y = -1, x 1..3, z 0..1.
const Input kSeed{1, 2, -1.0f, 1, 3, 0, 1, 0, 1, 0};
// A side face on the seed's edge x = 1, facing -x, with the given y and z ranges.
Input sideFace(float yMin, float yMax, float zMin, float zMax) {
  return Input{1, 1, 1.0f, yMin, yMax, zMin, zMax, -1, 0, 0};
}
// A plane parallel to the seed at y, x 1.5..4, z 0.25..0.75, facing along b.
Input parallel(float y, float b) { return Input{1, 2, y, 1.5f, 4, 0.25f, 0.75f, 0, b, 0}; }

TEST(ReconstructCuboids, GrowsOneBoxPerSeedShapedByLaterPlanes) {
  const Input side = sideFace(-2, -1, -0.5f, 0.5f);
  Input inactiveSeed = kSeed, inactiveSide = side;
  inactiveSeed.active = inactiveSide.active = 0;
  // clang-format off
  const std::vector<GrowCase> cases = {
      {"lone seed: depth 0.5", {kSeed}, 1, 0, {1, 3, -1.5f, -1, 0, 1}},
      {"side face deepens and widens", {kSeed, side}, 2, 0, {1, 3, -2, -1, -0.5f, 1}},
      {"worked example", {kSeed, side, parallel(-1.75f, 1)}, 3, 0, {1, 3, -1.75f, -1, -0.5f, 1}},
      {"parallel face facing the other way widens", {kSeed, side, parallel(-1.75f, -1)}, 3, 0,
       {1, 4, -1.75f, -1, -0.5f, 1}},
      {"inactive planes seed and match", {inactiveSeed, inactiveSide}, 2, 0,
       {1, 3, -2, -1, -0.5f, 1}},
      {"side face before the seed has no effect", {side, kSeed}, 2, 1, {1, 3, -1.5f, -1, 0, 1}},
      {"the seed shapes an earlier side face", {side, kSeed}, 2, 0, {1, 3, -2, -1, -0.5f, 1}},
      {"side face touching the V range", {kSeed, sideFace(-2, -1, -1, 0)}, 2, 0,
       {1, 3, -1.5f, -1, 0, 1}},
      {"side face 0.001 off the seed", {kSeed, sideFace(-2, -1.001f, -0.5f, 0.5f)}, 2, 0,
       {1, 3, -1.5f, -1, 0, 1}},
      {"the later of two side faces decides V", {kSeed, side, sideFace(-1.8f, -1, 0.25f, 1.5f)},
       3, 0, {1, 3, -2, -1, 0, 1.5f}},
      {"parallel face at the far bound is not taken", {kSeed, parallel(-1.5f, -1)}, 2, 0,
       {1, 3, -1.5f, -1, 0, 1}},
      {"parallel face at the seed is not taken", {kSeed, parallel(-1.0f, -1)}, 2, 0,
       {1, 3, -1.5f, -1, 0, 1}},
      {"+0 joined with -0 gives -0", {kSeed, sideFace(-2, -1, -0.0f, 0.5f)}, 2, 0,
       {1, 3, -2, -1, -0.0f, 1}},
      {"type 3 seed facing down grows up", {{1, 3, 0.5f, 1, 2, 3, 4, 0, 0, -1}}, 1, 0,
       {1, 2, 3, 4, 0.5f, 1}},
      {"no exact unit normal seeds nothing",
       {{1, 2, -1, 1, 3, 0, 1, 0, 0.9999f, 0}, {1, 7, -1, 1, 3, 0, 1, 1, 0, 0}}, 0, -1, {}},
  };
  // clang-format on
  for (const GrowCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<Cuboid> cuboids = grow(c.planes);
    ASSERT_EQ(cuboids.size(), static_cast<size_t>(c.expectedCount));
    if (c.boxIndex < 0) continue;
    const Cuboid& box = cuboids[c.boxIndex];
    const float got[6] = {box.minX, box.maxX, box.minY, box.maxY, box.minZ, box.maxZ};
    for (int k = 0; k < 6; ++k) EXPECT_TRUE(sameBits(got[k], c.box[k])) << k << ": " << got[k];
    EXPECT_EQ(box.kind, 1.0f);
    EXPECT_EQ(box.category, 4.0f);
    EXPECT_EQ(box.material, 6.0f);
  }
}

// More than a thousand seeds: one box each, in plane order.
TEST(ReconstructCuboids, MoreThanAThousandSeeds) {
  const int count = 1500;
  std::vector<Input> inputs;
  for (int i = 0; i < count; ++i) {
    const float x = static_cast<float>(2 * i);
    inputs.push_back(Input{1, 3, -1, x, x + 1, 0, 1, 0, 0, 1});
  }
  const std::vector<Cuboid> cuboids = grow(inputs);
  ASSERT_EQ(cuboids.size(), static_cast<size_t>(count));
  const Cuboid& last = cuboids[count - 1];
  EXPECT_EQ(last.minX, 2.0f * (count - 1));
  EXPECT_EQ(last.minZ, -1.5f);
  EXPECT_EQ(last.maxZ, -1.0f);
}

}  // namespace
}  // namespace roombox
