// The plane stages find their partners through a grid index; these tests
// hold them to the straightforward all-pairs scans (reference_scans.h) on
// many generated plane lists, comparing every field bit for bit. The lists
// sit on a coarse grid, so equal positions, touching edges and exact ties
// are common; they also hold inactive planes, duplicates, +0 and -0,
// reversed ranges, and now and then an infinite or NaN bound.

#include "planes/plane_connection.h"
#include "planes/range_refinement.h"
#include "planes/reference_scans.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace roombox {
namespace {

// Generates plane lists for one test.
class PlaneListMaker {
 public:
  explicit PlaneListMaker(unsigned seed) : rng_(seed) {}

  int upTo(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  bool chance(int percent) { return upTo(100) < percent; }

  // A coordinate on a grid of `step` within +-8 steps, times `scale`;
  // zeros come with either sign.
  float coarse(float step, float scale) {
    const int k = upTo(17) - 8;
    if (k == 0) return chance(50) ? -0.0f : 0.0f;
    return static_cast<float>(k) * step * scale;
  }

  // A bound that is now and then not a plain number.
  float bound(float step, float scale) {
    if (chance(1)) {
      const float odd[4] = {INFINITY, -INFINITY, NAN, 1e30f};
      return odd[upTo(4)];
    }
    return coarse(step, scale);
  }

  Plane plane(float step, float scale) {
    static const float kTypes[] = {1, 2, 3, 1, 2, 3, 1, 2, 3, 7, 8, 9, 4, 0, 2.5f};
    Plane p{};
    p.active = chance(15) ? 0.0f : chance(5) ? -2.0f : 1.0f;
    p.type = kTypes[upTo(static_cast<int>(sizeof(kTypes) / sizeof(kTypes[0])))];
    p.position = coarse(step, scale);
    float a = bound(step, scale), b = bound(step, scale);
    if (!chance(10) && b < a) std::swap(a, b);  // mostly in order
    p.uMin = a;
    p.uMax = b;
    a = bound(step, scale);
    b = bound(step, scale);
    if (!chance(10) && b < a) std::swap(a, b);
    p.vMin = a;
    p.vMax = b;
    p.centreX = coarse(step, scale);
    p.centreY = coarse(step, scale);
    p.centreZ = coarse(step, scale);
    p.category = static_cast<float>(upTo(15));
    p.material = static_cast<float>(upTo(4096));
    return p;
  }

  // count planes; some are copies of earlier ones, whole or with one field
  // changed, so that identical and nearly identical planes meet.
  std::vector<Plane> planes(int count, float step, float scale) {
    std::vector<Plane> list;
    for (int i = 0; i < count; ++i) {
      if (!list.empty() && chance(15)) {
        Plane copy = list[static_cast<std::size_t>(upTo(static_cast<int>(list.size())))];
        if (chance(50)) {
          float* fields[] = {&copy.active, &copy.uMin, &copy.uMax, &copy.vMin, &copy.vMax};
          *fields[upTo(5)] = coarse(step, scale);
        }
        list.push_back(copy);
      } else {
        list.push_back(plane(step, scale));
      }
    }
    return list;
  }

 private:
  std::mt19937 rng_;
};

// Plane records and edge links, as bytes.
std::string planeBytes(const std::vector<Plane>& planes, const std::vector<EdgeLinks>& links) {
  std::string bytes(reinterpret_cast<const char*>(planes.data()), planes.size() * sizeof(Plane));
  bytes.append(reinterpret_cast<const char*>(links.data()), links.size() * sizeof(EdgeLinks));
  return bytes;
}

// What the reference scans changed over a whole test: planes whose bounds
// moved or that were switched off, and edge flags raised. The tests check
// that the generated lists give the scans real work.
struct Changes {
  int moved = 0;
  int switchedOff = 0;
  int linked = 0;
};

// Runs the reference scan on a copy of planes, then the indexed stage on
// another, and expects the same bytes; counts what the reference changed.
// Each is called with the plane list to change and returns the edge links
// it made (none for refinement alone).
template <typename Indexed, typename Reference>
void expectSameAsReference(const std::vector<Plane>& planes, Indexed indexed,
                           Reference reference, const std::string& what, Changes& changes) {
  std::vector<Plane> expectedPlanes = planes;
  const std::vector<EdgeLinks> expectedLinks = reference(expectedPlanes);
  const std::string expected = planeBytes(expectedPlanes, expectedLinks);
  for (std::size_t i = 0; i < planes.size(); ++i) {
    const Plane& before = planes[i];
    const Plane& after = expectedPlanes[i];
    if (before.active != 0.0f && after.active == 0.0f) ++changes.switchedOff;
    if (std::memcmp(&before.uMin, &after.uMin, 4 * sizeof(float)) != 0) ++changes.moved;
    if (i < expectedLinks.size()) {
      const EdgeLinks& links = expectedLinks[i];
      changes.linked += links.uMinLinked + links.uMaxLinked + links.vMinLinked + links.vMaxLinked;
    }
  }
  std::vector<Plane> gotPlanes = planes;
  const std::vector<EdgeLinks> gotLinks = indexed(gotPlanes);
  ASSERT_EQ(planeBytes(gotPlanes, gotLinks), expected) << what;
}

// Refinement as a step that makes no edge links.
std::vector<EdgeLinks> refineOnly(std::vector<Plane>& planes) {
  refinePlaneRanges(planes);
  return {};
}
std::vector<EdgeLinks> referenceRefineOnly(std::vector<Plane>& planes) {
  referenceRefinePlaneRanges(planes);
  return {};
}

// Scene shapes: (number of planes, grid step, coordinate scale).
struct Shape {
  int count;
  float step;
  float scale;
};

const Shape kShapes[] = {
    {2, 0.25f, 1},    {8, 0.25f, 1},  {40, 0.25f, 1}, {120, 0.25f, 1}, {120, 0.5f, 4},
    {300, 0.25f, 8},  {60, 0.1f, 1},  {200, 1, 0.25f},
};

TEST(IndexedPlaneScans, ConnectionMatchesTheAllPairsScan) {
  PlaneListMaker maker(11);
  Changes changes;
  const float resolutions[] = {0, 0.05f, 0.25f, 1, 3e38f};
  for (int round = 0; round < 120; ++round) {
    for (const Shape& shape : kShapes) {
      const std::vector<Plane> planes = maker.planes(shape.count, shape.step, shape.scale);
      const float resolution = resolutions[maker.upTo(5)];
      const auto indexed = [resolution](std::vector<Plane>& list) {
        return connectPlanes(resolution, list);
      };
      const auto reference = [resolution](std::vector<Plane>& list) {
        return referenceConnectPlanes(resolution, list);
      };
      expectSameAsReference(planes, indexed, reference,
                            "round " + std::to_string(round) + ", " +
                                std::to_string(shape.count) + " planes",
                            changes);
    }
  }
  EXPECT_GT(changes.linked, 5000);
}

TEST(IndexedPlaneScans, RefinementMatchesTheAllPairsScan) {
  PlaneListMaker maker(12);
  Changes changes;
  for (int round = 0; round < 80; ++round) {
    for (const Shape& shape : kShapes) {
      const std::vector<Plane> planes = maker.planes(shape.count, shape.step, shape.scale);
      expectSameAsReference(planes, refineOnly, referenceRefineOnly,
                            "round " + std::to_string(round) + ", " +
                                std::to_string(shape.count) + " planes",
                            changes);
    }
  }
  EXPECT_GT(changes.switchedOff, 2000);
  EXPECT_GT(changes.moved, 1000);
}

TEST(IndexedPlaneScans, ConnectionThenRefinementMatchTheAllPairsScans) {
  PlaneListMaker maker(13);
  Changes changes;
  for (int round = 0; round < 40; ++round) {
    for (const Shape& shape : kShapes) {
      const std::vector<Plane> planes = maker.planes(shape.count, shape.step, shape.scale);
      const auto indexed = [](std::vector<Plane>& list) {
        std::vector<EdgeLinks> links = connectPlanes(0.25f, list);
        refinePlaneRanges(list);
        return links;
      };
      const auto reference = [](std::vector<Plane>& list) {
        std::vector<EdgeLinks> links = referenceConnectPlanes(0.25f, list);
        referenceRefinePlaneRanges(list);
        return links;
      };
      expectSameAsReference(planes, indexed, reference, "round " + std::to_string(round), changes);
    }
  }
}

}  // namespace
}  // namespace roombox
