// Cuboid growth and covered-face hiding find their partners through a grid
// index; these tests hold them to the straightforward scans
// (reference_scans.h) on many generated scenes, comparing every field bit for
// bit. The scenes are the faces of boxes on a coarse grid, some cut short,
// facing either way, plus loose planes, so that side faces and parallel faces
// match often; they also hold duplicates, +0 and -0, reversed ranges and now
// and then an infinite or NaN bound.

#include "cuboids/cuboid_growth.h"
#include "cuboids/post_processing.h"
#include "cuboids/reference_scans.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace roombox {
namespace {

class SceneMaker {
 public:
  explicit SceneMaker(unsigned seed) : rng_(seed) {}

  int upTo(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  bool chance(int percent) { return upTo(100) < percent; }

  // A coordinate on a grid of 0.25 within +-2, times scale; zeros come with
  // either sign, and now and then a value is not a plain number.
  float coarse(float scale) {
    if (chance(1)) {
      const float odd[4] = {INFINITY, -INFINITY, NAN, 1e30f};
      return odd[upTo(4)];
    }
    const int k = upTo(17) - 8;
    if (k == 0) return chance(50) ? -0.0f : 0.0f;
    return static_cast<float>(k) * 0.25f * scale;
  }

  // A range, mostly in order.
  void range(float scale, float& low, float& high) {
    low = coarse(scale);
    high = coarse(scale);
    if (!chance(5) && high < low) std::swap(low, high);
  }

  // A normal component for a plane along its own axis: mostly +1 or -1.
  float facing() {
    const float values[] = {1, -1, 1, -1, 1, -1, 0.5f, -0.0f};
    return values[upTo(8)];
  }

  void add(int axis, float position, float uMin, float uMax, float vMin, float vMax,
           float normal, float type) {
    Plane p{};
    p.active = chance(10) ? 0.0f : 1.0f;
    p.type = type;
    p.position = position;
    p.uMin = uMin;
    p.uMax = uMax;
    p.vMin = vMin;
    p.vMax = vMax;
    p.category = static_cast<float>(upTo(15));
    p.material = static_cast<float>(upTo(4096));
    PlaneEquation e{0, 0, 0, -normal * position};
    float* component[3] = {&e.a, &e.b, &e.c};
    *component[axis] = normal;
    planes.push_back(p);
    equations.push_back(e);
  }

  // Some faces of a box, each maybe cut short by one grid step at one end.
  void addBoxFaces(float scale) {
    float lo[3], hi[3];
    for (int a = 0; a < 3; ++a) range(scale, lo[a], hi[a]);
    for (int face = 0; face < 6; ++face) {
      if (!chance(60)) continue;
      const int axis = face / 2;
      const int u = axis == 0 ? 1 : 0;
      const int v = axis == 2 ? 1 : 2;
      float uMin = lo[u], uMax = hi[u], vMin = lo[v], vMax = hi[v];
      if (chance(25)) uMin += 0.25f * scale;
      if (chance(25)) vMax -= 0.25f * scale;
      add(axis, face % 2 == 0 ? lo[axis] : hi[axis], uMin, uMax, vMin, vMax, facing(),
          static_cast<float>(axis + 1));
    }
  }

  void addLoosePlane(float scale) {
    static const float kTypes[] = {1, 2, 3, 7, 8, 9, 4};
    const float type = kTypes[upTo(7)];
    const int axis = type == 1 || type == 7 || type == 4 ? 0 : type == 2 || type == 9 ? 1 : 2;
    float uMin, uMax, vMin, vMax;
    range(scale, uMin, uMax);
    range(scale, vMin, vMax);
    add(axis, coarse(scale), uMin, uMax, vMin, vMax, facing(), type);
  }

  // A scene of about `count` planes; some are copies of earlier ones.
  void makeScene(int count, float scale) {
    planes.clear();
    equations.clear();
    while (static_cast<int>(planes.size()) < count) {
      if (!planes.empty() && chance(10)) {
        const std::size_t k = static_cast<std::size_t>(upTo(static_cast<int>(planes.size())));
        const Plane copy = planes[k];
        const PlaneEquation equation = equations[k];
        planes.push_back(copy);
        equations.push_back(equation);
      } else if (chance(70)) {
        addBoxFaces(scale);
      } else {
        addLoosePlane(scale);
      }
    }
  }

  Cuboid box(float scale) {
    Cuboid c{};
    c.kind = 1;
    range(scale, c.minX, c.maxX);
    range(scale, c.minY, c.maxY);
    range(scale, c.minZ, c.maxZ);
    return c;
  }

  std::vector<Plane> planes;
  std::vector<PlaneEquation> equations;

 private:
  std::mt19937 rng_;
};

std::string cuboidBytes(const std::vector<Cuboid>& cuboids) {
  return std::string(reinterpret_cast<const char*>(cuboids.data()),
                     cuboids.size() * sizeof(Cuboid));
}

std::string faceBytes(const std::vector<CuboidFaces>& faces) {
  return std::string(reinterpret_cast<const char*>(faces.data()),
                     faces.size() * sizeof(CuboidFaces));
}

std::string planeListBytes(const SceneMaker& maker) {
  std::string bytes(reinterpret_cast<const char*>(maker.planes.data()),
                    maker.planes.size() * sizeof(Plane));
  bytes.append(reinterpret_cast<const char*>(maker.equations.data()),
               maker.equations.size() * sizeof(PlaneEquation));
  return bytes;
}

// The box a seed gives with no later plane: depth 0.5 behind it over its
// own ranges; nothing (kind 0) for a plane that seeds no box.
Cuboid unshapedBox(const Plane& seed, const PlaneEquation& e) {
  const float component[3] = {e.a, e.b, e.c};
  const int axis = seed.type == 1.0f ? 0 : seed.type == 2.0f ? 1 : seed.type == 3.0f ? 2 : -1;
  if (axis < 0 || (component[axis] != 1.0f && component[axis] != -1.0f)) return Cuboid{};
  const double p = seed.position;
  float low[3], high[3];
  low[axis] = component[axis] == 1.0f ? static_cast<float>(p - 0.5) : seed.position;
  high[axis] = component[axis] == 1.0f ? seed.position : static_cast<float>(p + 0.5);
  const int u = axis == 0 ? 1 : 0;
  const int v = axis == 2 ? 1 : 2;
  low[u] = seed.uMin;
  high[u] = seed.uMax;
  low[v] = seed.vMin;
  high[v] = seed.vMax;
  return Cuboid{1, low[0], high[0], low[1], high[1], low[2], high[2], seed.category,
                seed.material};
}

TEST(IndexedCuboidScans, GrowthMatchesTheScanOfEveryLaterPlane) {
  SceneMaker maker(21);
  int boxes = 0;
  int shapedBoxes = 0;
  for (int round = 0; round < 400; ++round) {
    const int count = 1 + maker.upTo(round % 4 == 0 ? 400 : 60);
    const float scale = round % 5 == 0 ? 8.0f : 1.0f;
    maker.makeScene(count, scale);

    const std::vector<Cuboid> expected =
        referenceReconstructCuboids(maker.planes, maker.equations);
    const int expectedCount = static_cast<int>(expected.size());
    // Count the boxes that later planes reshaped.
    int k = 0;
    for (std::size_t i = 0; i < maker.planes.size() && k < expectedCount; ++i) {
      const Cuboid alone = unshapedBox(maker.planes[i], maker.equations[i]);
      if (alone.kind != 1.0f) continue;
      if (std::memcmp(&alone, &expected[static_cast<std::size_t>(k)], sizeof(Cuboid)) != 0) {
        ++shapedBoxes;
      }
      ++k;
    }
    boxes += expectedCount;

    const std::string input = planeListBytes(maker);
    const std::vector<Cuboid> got = reconstructCuboids(maker.planes, maker.equations);
    ASSERT_EQ(got.size(), expected.size()) << "round " << round;
    ASSERT_EQ(cuboidBytes(got), cuboidBytes(expected)) << "round " << round;
    // The planes are read, never changed: later stages see them as they were.
    ASSERT_EQ(planeListBytes(maker), input) << "round " << round;
  }
  EXPECT_GT(boxes, 10000);
  EXPECT_GT(shapedBoxes, boxes / 10);
}

TEST(IndexedCuboidScans, HidingMatchesTheScanOfEveryPair) {
  SceneMaker maker(22);
  int cleared = 0;
  for (int round = 0; round < 400; ++round) {
    const int count = maker.upTo(round % 4 == 0 ? 300 : 40);
    const float scale = round % 5 == 0 ? 8.0f : 1.0f;
    std::vector<Cuboid> boxes;
    std::vector<CuboidFaces> faces;
    for (int k = 0; k < count; ++k) {
      boxes.push_back(k > 0 && maker.chance(10) ? boxes[static_cast<std::size_t>(
                                                      maker.upTo(k))]
                                                : maker.box(scale));
      faces.push_back(maker.chance(90) ? CuboidFaces{1, 1, 1, 1, 1, 1}
                                       : CuboidFaces{1, 0, 1, 1, 0, 1});
    }
    std::vector<CuboidFaces> expected = faces;
    referenceHideCoveredFaces(boxes, expected);
    for (const CuboidFaces& f : expected) {
      cleared += 6 - (f.minXShown + f.maxXShown + f.minYShown + f.maxYShown + f.minZShown +
                      f.maxZShown);
    }
    std::vector<CuboidFaces> got = faces;
    hideCoveredFaces(boxes, got);
    ASSERT_EQ(faceBytes(got), faceBytes(expected)) << "round " << round;
  }
  EXPECT_GT(cleared, 3000);
}

TEST(IndexedCuboidScans, GrownBoxesClampedAndHiddenMatchTheScans) {
  SceneMaker maker(23);
  for (int round = 0; round < 100; ++round) {
    maker.makeScene(1 + maker.upTo(200), 1.0f);
    const auto run = [&maker](bool indexed) {
      std::vector<Cuboid> cuboids = indexed
                                        ? reconstructCuboids(maker.planes, maker.equations)
                                        : referenceReconstructCuboids(maker.planes, maker.equations);
      RoomBox room;
      for (int a = 0; a < 3; ++a) {
        room.roomMin[a] = -1.5f;
        room.roomMax[a] = 1.75f;
      }
      std::vector<CuboidFaces> faces = clampCuboidsToRoom(room, cuboids);
      if (indexed) {
        hideCoveredFaces(cuboids, faces);
      } else {
        referenceHideCoveredFaces(cuboids, faces);
      }
      return cuboidBytes(cuboids) + faceBytes(faces);
    };
    const std::string expected = run(false);
    ASSERT_EQ(run(true), expected) << "round " << round;
  }
}

}  // namespace
}  // namespace roombox
