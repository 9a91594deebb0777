#include "input/transform_view_planes.h"

#include "driver/scene_store.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A store with the given planes, all belonging to view 0, grid step
// resolution and view 0 translated by (tx, ty, tz).
void setUpView(const std::vector<Plane>& planes, const std::vector<PlaneEquation>& equations,
               float resolution, float tx, float ty, float tz) {
  sceneStore = SceneStore{};
  sceneStore.planes = planes;
  sceneStore.equations = equations;
  sceneStore.planeCount = static_cast<int>(planes.size());
  sceneStore.cubeResolution = resolution;
  sceneStore.viewCount = 1;
  sceneStore.viewFirstPlane[0] = 0;
  sceneStore.viewPlaneCounts[0] = static_cast<int>(planes.size());
  sceneStore.viewTransforms[0][0][3] = tx;
  sceneStore.viewTransforms[0][1][3] = ty;
  sceneStore.viewTransforms[0][2][3] = tz;
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
    setUpView({planeWithAll(3, c.value)}, {{0, 0, 1, c.value}}, 0.25f, 0, 0, 0);
    transformViewPlanes(0);
    const Plane& p = sceneStore.planes[0];
    for (float field : {p.position, p.uMin, p.uMax, p.vMin, p.vMax, p.centreX, p.centreY,
                        p.centreZ, sceneStore.equations[0].d}) {
      EXPECT_EQ(field, c.snapped) << c.value;
      EXPECT_FALSE(std::signbit(field) && c.snapped == 0.0f) << c.value;
    }
    // Codes and the normal are never snapped.
    EXPECT_EQ(p.type, 3.0f);
    EXPECT_EQ(p.category, 13.0f);
    EXPECT_EQ(p.material, 4.0f);
    EXPECT_EQ(sceneStore.equations[0].c, 1.0f);
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
    setUpView({{1, c.type, 0.5f, 0, 1, 0, 2, 0.5f, 0.5f, 1, 6, 2}}, {c.equation}, 0.25f, 1, 2,
              3);
    transformViewPlanes(0);
    const Plane& p = sceneStore.planes[0];
    EXPECT_EQ(p.type, c.type);
    EXPECT_EQ(p.position, c.position) << c.type;
    EXPECT_EQ(p.uMin, c.uMin) << c.type;
    EXPECT_EQ(p.uMax, c.uMax) << c.type;
    EXPECT_EQ(p.vMin, c.vMin) << c.type;
    EXPECT_EQ(p.vMax, c.vMax) << c.type;
    EXPECT_EQ(sceneStore.equations[0].d, c.d) << c.type;
    EXPECT_EQ(p.centreX, 1.5f) << c.type;
    EXPECT_EQ(p.centreY, 2.5f) << c.type;
    EXPECT_EQ(p.centreZ, 4.0f) << c.type;
  }
}

TEST(TransformViewPlanes, TouchesOnlyThePlanesOfTheView) {
  const Plane off = planeWithAll(1, 0.3f);
  setUpView({off, off, off, off}, {{1, 0, 0, 0.3f}, {1, 0, 0, 0.3f}, {1, 0, 0, 0.3f},
                                   {1, 0, 0, 0.3f}},
            0.25f, 0, 0, 0);
  sceneStore.viewFirstPlane[1] = 1;
  sceneStore.viewPlaneCounts[1] = 2;
  sceneStore.viewTransforms[1][0][3] = 1;
  transformViewPlanes(1);
  EXPECT_EQ(sceneStore.planes[0].position, 0.3f);
  EXPECT_EQ(sceneStore.planes[1].position, 1.25f);
  EXPECT_EQ(sceneStore.planes[2].position, 1.25f);
  EXPECT_EQ(sceneStore.planes[3].position, 0.3f);

  // A count reaching past the list stops at its end.
  sceneStore.viewPlaneCounts[1] = 100;
  transformViewPlanes(1);
  EXPECT_EQ(sceneStore.planes[3].position, 1.25f);
}

TEST(TransformViewPlanes, ZeroResolutionMovesWithoutSnapping) {
  setUpView({planeWithAll(1, 0.3f)}, {{-1, 0, 0, 0.3f}}, 0.0f, 0.1f, 0, 0);
  transformViewPlanes(0);
  EXPECT_EQ(sceneStore.planes[0].position, 0.3f + 0.1f);
  EXPECT_EQ(sceneStore.planes[0].centreX, 0.3f + 0.1f);
  EXPECT_EQ(sceneStore.planes[0].uMin, 0.3f);
  EXPECT_EQ(sceneStore.equations[0].d, 0.3f + 0.1f);
}

}  // namespace
