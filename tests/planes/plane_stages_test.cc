#include "planes/plane_connection.h"
#include "planes/range_refinement.h"
#include "planes/room_boundary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace roombox {
namespace {

Plane plane(float active, float type, float position, float uMin, float uMax, float vMin,
            float vMax, float centreX = 0, float centreY = 0, float centreZ = 0) {
  return Plane{active, type, position, uMin, uMax, vMin, vMax, centreX, centreY, centreZ, 0, 0};
}

// Bounds and edge flags of one plane after plane connection.
struct Joined {
  float uMin, uMax, vMin, vMax;
  EdgeLinks links;
};

struct ConnectCase {
  std::string name;
  float cubeResolution;
  std::vector<Plane> planes;
  std::vector<Joined> expected;
};

// An upright type 1 plane at x = 2 (y 0..3, z 0..2.5), a table top at z 0.8
// (x 1..xMax, y 0.5..1.5), a type 2 plane at y (x 0..3, z 0..2.5) and a
// type 3 shelf at z 0.8 (x 0.5..1.5, y yMin..yMax).
Plane upright(float type = 1) { return plane(1, type, 2, 0, 3, 0, 2.5f, 2, 1.5f, 1.25f); }
Plane tableTop(float xMax, float active = 1, float type = 3) {
  return plane(active, type, 0.8f, 1, xMax, 0.5f, 1.5f, (1 + xMax) / 2, 1, 0.8f);
}
Plane wallY(float y) { return plane(1, 2, y, 0, 3, 0, 2.5f, 1.5f, y, 1.25f); }
Plane shelf(float yMin, float yMax) {
  return plane(1, 3, 0.8f, 0.5f, 1.5f, yMin, yMax, 1, (yMin + yMax) / 2, 0.8f);
}
const Joined kUpright{0, 3, 0, 2.5f, {0, 0, 0, 0}};
const Joined kTable{1, 1.9f, 0.5f, 1.5f, {0, 0, 0, 0}};
const float kStep = std::ldexp(1.0f, -23);  // one float step in [1, 2)

TEST(ConnectPlanes, JoinsCrossingPlanesWhereTheOverlapIsLargeEnough) {
  const Joined back{0, 3, 0, 2.5f, {0, 0, 0, 0}};  // wallY after the stage
  // clang-format off
  const std::vector<ConnectCase> cases = {
      {"table top joined", 0.1f, {upright(), tableTop(1.9f)},
       {kUpright, {1, 2, 0.5f, 1.5f, {0, 1, 0, 0}}}},
      {"table top 0.35 short", 0.1f, {upright(), tableTop(1.65f)},
       {kUpright, {1, 1.65f, 0.5f, 1.5f, {0, 0, 0, 0}}}},
      {"inactive plane stays widened", 0.1f, {upright(), tableTop(1.9f, 0)},
       {kUpright, {0.7f, 2.2f, 0.2f, 1.8f, {0, 0, 0, 0}}}},
      {"type 7 is never joined", 0.1f, {upright(7), tableTop(1.9f)}, {kUpright, kTable}},
      {"type 6 is never joined", 0.1f, {upright(), tableTop(1.9f, 1, 6)}, {kUpright, kTable}},
      {"case XY moves both planes", 0.1f,
       {plane(1, 1, 2, 0, 3, 0, 1, 2, 1.5f, 0.5f), plane(1, 2, 1, 1, 1.9f, 0, 1, 1.45f, 1, 0.5f)},
       {{1, 3, 0, 1, {1, 0, 0, 0}}, {1, 2, 0, 1, {0, 1, 0, 0}}}},
      {"case YZ, P below Q's centre", 0.1f, {wallY(1), shelf(1.1f, 2)},
       {back, {0.5f, 1.5f, 1, 2, {0, 0, 1, 0}}}},
      {"case YZ, P on Q's centre", 0.1f, {wallY(1.5f), shelf(1, 2)},
       {back, {0.5f, 1.5f, 1, 1.5f, {0, 0, 0, 1}}}},
      // Q lies on P's centre and only P is short enough to move: the tie moves
      // P's max edge onto Q; P's other edges come back from the margin.
      {"case XY, Q on P's centre", 0.1f,
       {plane(1, 1, 2, 0, 3, 0, 1, 2, 1.5f, 0.5f),
        plane(1, 2, 1.5f, 1, 2.5f, 0, 3, 1.75f, 1.5f, 1.5f)},
       {{0, 1.5f, 0, 1, {0, 1, 0, 0}}, {1, 2.5f, 0, 3, {0, 0, 0, 0}}}},
      {"case XZ, Q on P's centre", 0,
       {plane(1, 1, 2, 0, 1, 0, 2.5f, 2, 0.5f, 1.25f),
        plane(1, 3, 1.25f, 1, 2.5f, 0, 3, 1.75f, 1.5f, 1.25f)},
       {{0, 1, 0, 1.25f, {0, 0, 0, 1}}, {1, 2.5f, 0, 3, {0, 0, 0, 0}}}},
      {"case YZ, Q on P's centre", 0,
       {plane(1, 2, 1, 0, 1, 0, 2.5f, 0.5f, 1, 1.25f),
        plane(1, 3, 1.25f, 0, 3, 0.5f, 2, 1.5f, 1.25f, 1.25f)},
       {{0, 1, 0, 1.25f, {0, 0, 0, 1}}, {0, 3, 0.5f, 2, {0, 0, 0, 0}}}},
      // Margin 0.75: the table's widened y extent 3.0 against an overlap of 2.0.
      {"extent equal to 1.5 x overlap", 0.25f,
       {plane(1, 1, 2, 1, 5, 0, 2.5f), plane(1, 3, 0.8f, 1, 1.9f, 0, 1.5f, 1.45f)},
       {{1, 5, 0, 2.5f, {0, 0, 0, 0}}, {1, 1.9f, 0, 1.5f, {0, 0, 0, 0}}}},
      // 1.5 x (1 + 3 steps) rounds to the extent 1.5 + 4 steps in float only.
      {"threshold compared in double", 0,
       {plane(1, 1, 2, 0.5f + kStep, 10, 0, 2.5f),
        plane(1, 3, 0.8f, 1, 2.5f, 0, 1.5f + 4 * kStep, 1.75f)},
       {{0.5f + kStep, 10, 0, 2.5f, {0, 0, 0, 0}}, {1, 2, 0, 1.5f + 4 * kStep, {0, 1, 0, 0}}}},
  };
  // clang-format on
  for (const ConnectCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<Plane> planes = c.planes;
    const std::vector<EdgeLinks> links = connectPlanes(c.cubeResolution, planes);
    ASSERT_EQ(planes.size(), c.planes.size());
    ASSERT_EQ(links.size(), c.planes.size());  // one record per plane
    for (size_t i = 0; i < c.expected.size(); ++i) {
      const Plane& p = planes[i];
      const Joined& e = c.expected[i];
      const EdgeLinks& l = links[i];
      EXPECT_FLOAT_EQ(p.uMin, e.uMin) << i;
      EXPECT_FLOAT_EQ(p.uMax, e.uMax) << i;
      EXPECT_FLOAT_EQ(p.vMin, e.vMin) << i;
      EXPECT_FLOAT_EQ(p.vMax, e.vMax) << i;
      EXPECT_TRUE(l.uMinLinked == e.links.uMinLinked && l.uMaxLinked == e.links.uMaxLinked &&
                  l.vMinLinked == e.links.vMinLinked && l.vMaxLinked == e.links.vMaxLinked)
          << i;
    }
  }
}

// Type 7 planes at position 1 (or at `position`).
Plane wall(float uMin, float uMax, float vMin, float vMax, float active = 1, float position = 1) {
  return plane(active, 7, position, uMin, uMax, vMin, vMax);
}

TEST(RefinePlaneRanges, SwitchesOffCoveredPlanesAndCutsPartlyCoveredOnes) {
  struct RefineCase {
    std::string name;
    std::vector<Plane> before, after;  // active and bounds are compared
  };
  const Plane p = wall(0, 4, 0, 2);
  const std::vector<RefineCase> cases = {
      {"identical planes: the lower index is switched off", {p, p}, {wall(0, 4, 0, 2, 0), p}},
      {"positions 1.0 and 1.0000001", {p, wall(0, 4, 0, 2, 1, 1.0000001f)}, {p, p}},
      {"upper v part cut", {p, wall(-1, 5, 1, 3)}, {wall(0, 4, 0, 1)}},
      {"lower v part cut", {p, wall(-1, 5, -1, 1)}, {wall(0, 4, 1, 2)}},
      {"partner strictly inside", {p, wall(-1, 5, 0.5f, 1.5f)}, {p}},
      {"upper u part cut", {p, wall(2, 6, 0, 2)}, {wall(0, 2, 0, 2), wall(2, 6, 0, 2)}},
      // A partner that shares p's lower edge and stops inside p is neither
      // below p nor reaching past its top: p keeps its range. The partner
      // keeps its own too: p lies strictly inside it on the other axis.
      {"lower v edges equal: not cut", {p, wall(-1, 5, 0, 1)}, {p, wall(-1, 5, 0, 1)}},
      {"lower u edges equal: not cut", {p, wall(0, 2, -1, 3)}, {p, wall(0, 2, -1, 3)}},
      // Sharing p's upper edge is enough to cover p's upper part.
      {"upper v edges equal: cut", {p, wall(-1, 5, 1, 2)}, {wall(0, 4, 0, 1), wall(-1, 5, 1, 2)}},
      {"upper u edges equal: cut", {p, wall(2, 4, 0, 2)}, {wall(0, 2, 0, 2), wall(2, 4, 0, 2)}},
      {"cut, then covered by a later partner",
       {p, wall(-1, 5, 1, 3), wall(0, 4, 0, 1)},
       {wall(0, 4, 0, 1, 0), wall(-1, 5, 1, 3), wall(0, 4, 0, 1)}},
  };
  for (const RefineCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<Plane> planes = c.before;
    refinePlaneRanges(planes);
    ASSERT_EQ(planes.size(), c.before.size());
    for (size_t i = 0; i < c.after.size(); ++i) {
      const Plane& got = planes[i];
      const Plane& e = c.after[i];
      EXPECT_TRUE(got.active == e.active && got.uMin == e.uMin && got.uMax == e.uMax &&
                  got.vMin == e.vMin && got.vMax == e.vMax)
          << i;
    }
  }
}

TEST(ComputeRoomBoundary, TakesBoundsFromWallsFloorAndCeilingWithFallbacks) {
  const float f = 1000000;
  struct RoomCase {
    std::string name;
    std::vector<Plane> planes;
    float min[3], max[3];
  };
  const std::vector<RoomCase> cases = {
      {"no planes keeps the initial box", {}, {f, f, f}, {-f, -f, -f}},
      {"object planes only", {plane(1, 1, -2, -1, 1, -1, 1)}, {f, f, f}, {-f, -f, -f}},
      {"all sides; type 8 at 0 is the ceiling side",
       {plane(1, 7, -2, -9, 9, -9, 9), plane(1, 7, 3, -9, 9, -9, 9),
        plane(1, 9, -1.5f, -9, 9, -9, 9), plane(1, 9, 2.5f, -9, 9, -9, 9),
        plane(1, 8, -1.2f, -9, 9, -9, 9), plane(1, 8, 0, -9, 9, -9, 9)},
       {-2, -1.5f, -1.2f},
       {3, 2.5f, 0}},
      // Walls at x -2 and -3.5 (inactive), a floor: upper x from the floor's
      // uMax, y from the walls' u and the floor's v, upper z from the walls' vMax.
      {"fallbacks",
       {plane(1, 7, -2, -1, 2, -1.1f, 2.2f), plane(0, 7, -3.5f, -3, 1, -1.2f, 2),
        plane(1, 8, -1.2f, -3.5f, 4.5f, -2.5f, 1.5f), plane(1, 3, 5, -20, 20, -20, 20)},
       {-3.5f, -3, -1.2f},
       {4.5f, 2, 2.2f}},
  };
  for (const RoomCase& c : cases) {
    SCOPED_TRACE(c.name);
    const RoomBox room = computeRoomBoundary(c.planes);
    for (int axis = 0; axis < 3; ++axis) {
      EXPECT_EQ(room.roomMin[axis], c.min[axis]) << axis;
      EXPECT_EQ(room.roomMax[axis], c.max[axis]) << axis;
    }
  }
}

}  // namespace
}  // namespace roombox
