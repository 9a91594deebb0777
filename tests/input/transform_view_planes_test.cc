#include "input/view_transforms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace roombox {
namespace {

// A plane list of the given planes, all belonging to view 0, with grid step
// resolution.
PlaneList viewList(const std::vector<Plane>& planes, const std::vector<PlaneEquation>& equations,
                   float resolution) {
  PlaneList list;
  list.planes = planes;
  list.equations = equations;
  list.planeSource.assign(planes.size(), 1);
  list.cubeResolution = resolution;
  list.viewFirstPlane[0] = 0;
  list.viewPlaneCounts[0] = static_cast<int>(planes.size());
  return list;
}

// A transform whose translation column is (tx, ty, tz) and whose 3 x 3 part
// stays zero: only the translation may be applied.
ViewTransform translation(float tx, float ty, float tz) {
  ViewTransform transform{};
  transform.matrix[0][3] = tx;
  transform.matrix[1][3] = ty;
  transform.matrix[2][3] = tz;
  return transform;
}

Plane planeWithAll(float type, float value) {
  return Plane{1, type, value, value, value, value, value, value, value, value, 13, 4};
}

TEST(TransformViewPlanes, SnapsEveryCoordinateToTheGridEvenWithoutTranslation) {
  struct Case {
    float value;
    float snapped;
  };
  const Case cases[] = {
      {1.1f, 1.0f},    {1.125f, 1.25f}, {-0.125f, 0.0f}, {-0.2f, -0.25f},
      {0.375f, 0.5f},  {-0.375f, -0.25f}, {1e30f, 1e30f},  // already on the grid
      {3e38f, 3e38f},  // the quotient overflows: kept as it is
  };
  for (const Case& c : cases) {
    PlaneList list = viewList({planeWithAll(3, c.value)}, {{0, 0, 1, c.value}}, 0.25f);
    transformViewPlanes(0, translation(0, 0, 0), list);
    const Plane& p = list.planes[0];
    for (float field : {p.position, p.uMin, p.uMax, p.vMin, p.vMax, p.centreX, p.centreY,
                        p.centreZ, list.equations[0].d}) {
      EXPECT_EQ(field, c.snapped) << c.value;
      EXPECT_FALSE(std::signbit(field) && c.snapped == 0.0f) << c.value;
    }
    // Codes and the normal are never snapped.
    EXPECT_EQ(p.type, 3.0f);
    EXPECT_EQ(p.category, 13.0f);
    EXPECT_EQ(p.material, 4.0f);
    EXPECT_EQ(list.equations[0].c, 1.0f);
  }
}

TEST(TransformViewPlanes, MovesEachTypeAlongItsNormalAxis) {
  // Plane at position 0.5 with u 0..1 and v 0..2, translation (1, 2, 3).
  struct Case {
    float type;
    PlaneEquation equation;
    float position, uMin, uMax, vMin, vMax, d;
  };
  const Case cases[] = {
      {1, {1, 0, 0, -0.5f}, 1.5f, 2, 3, 3, 5, -1.5f},  // a = +1: d -= tx
      {1, {-1, 0, 0, 0.5f}, 1.5f, 2, 3, 3, 5, 1.5f},   // a = -1: d += tx
      {4, {-1, 0, 0, 0.5f}, 1.5f, 2, 3, 3, 5, 1.5f},   // read as type 1
      {7, {-1, 0, 0, 0.5f}, 1.5f, 2, 3, 3, 5, 1.5f},   // wall, normal x
      {2, {0, 1, 0, -0.5f}, 2.5f, 1, 2, 3, 5, -2.5f},
      {5, {0, -1, 0, 0.5f}, 2.5f, 1, 2, 3, 5, 2.5f},
      {9, {0, -1, 0, 0.5f}, 2.5f, 1, 2, 3, 5, 2.5f},   // wall, normal y
      {3, {0, 0, 1, -0.5f}, 3.5f, 1, 2, 2, 4, -3.5f},
      {6, {0, 0, -1, 0.5f}, 3.5f, 1, 2, 2, 4, 3.5f},
      {8, {0, 0, -1, 0.5f}, 3.5f, 1, 2, 2, 4, 3.5f},   // ceiling, normal z
      {0, {0, 0, -1, 0.5f}, 0.5f, 0, 1, 0, 2, 0.5f},   // unknown type: centre only
  };
  for (const Case& c : cases) {
    PlaneList list = viewList({{1, c.type, 0.5f, 0, 1, 0, 2, 0.5f, 0.5f, 1, 6, 2}},
                              {c.equation}, 0.25f);
    transformViewPlanes(0, translation(1, 2, 3), list);
    const Plane& p = list.planes[0];
    EXPECT_EQ(p.type, c.type);
    EXPECT_EQ(p.position, c.position) << c.type;
    EXPECT_EQ(p.uMin, c.uMin) << c.type;
    EXPECT_EQ(p.uMax, c.uMax) << c.type;
    EXPECT_EQ(p.vMin, c.vMin) << c.type;
    EXPECT_EQ(p.vMax, c.vMax) << c.type;
    EXPECT_EQ(list.equations[0].d, c.d) << c.type;
    EXPECT_EQ(p.centreX, 1.5f) << c.type;
    EXPECT_EQ(p.centreY, 2.5f) << c.type;
    EXPECT_EQ(p.centreZ, 4.0f) << c.type;
  }
}

TEST(TransformViewPlanes, TouchesOnlyThePlanesOfTheView) {
  const Plane off = planeWithAll(1, 0.3f);
  PlaneList list = viewList({off, off, off, off},
                            {{1, 0, 0, 0.3f}, {1, 0, 0, 0.3f}, {1, 0, 0, 0.3f}, {1, 0, 0, 0.3f}},
                            0.25f);
  list.viewFirstPlane[1] = 1;
  list.viewPlaneCounts[1] = 2;
  transformViewPlanes(1, translation(1, 0, 0), list);
  EXPECT_EQ(list.planes[0].position, 0.3f);
  EXPECT_EQ(list.planes[1].position, 1.25f);
  EXPECT_EQ(list.planes[2].position, 1.25f);
  EXPECT_EQ(list.planes[3].position, 0.3f);

  // A count reaching past the list stops at its end.
  list.viewPlaneCounts[1] = 100;
  transformViewPlanes(1, translation(1, 0, 0), list);
  EXPECT_EQ(list.planes[3].position, 1.25f);
  EXPECT_EQ(list.planes.size(), 4u);
  EXPECT_EQ(list.equations.size(), 4u);

  // A view outside 0..3 changes nothing.
  for (const int view : {-1, 4}) {
    transformViewPlanes(view, translation(1, 1, 1), list);
    EXPECT_EQ(list.planes[0].position, 0.3f) << view;
    EXPECT_EQ(list.planes[0].centreY, 0.3f) << view;
  }
}

TEST(TransformViewPlanes, ZeroResolutionMovesWithoutSnapping) {
  PlaneList list = viewList({planeWithAll(1, 0.3f)}, {{-1, 0, 0, 0.3f}}, 0.0f);
  transformViewPlanes(0, translation(0.1f, 0, 0), list);
  EXPECT_EQ(list.planes[0].position, 0.3f + 0.1f);
  EXPECT_EQ(list.planes[0].centreX, 0.3f + 0.1f);
  EXPECT_EQ(list.planes[0].uMin, 0.3f);
  EXPECT_EQ(list.equations[0].d, 0.3f + 0.1f);
}

}  // namespace
}  // namespace roombox
