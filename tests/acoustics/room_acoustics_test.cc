// The acoustic model of rooms whose answers are known: a shoebox with
// uniform absorption, boxes that overlap, repeat, stick out or stand on the
// floor, and a room without boxes.
#include "mesh/rectangle_mesh.h"
#include "roombox/categories.h"
#include "roombox/compute_room_acoustics.h"
#include "roombox/scene_model.h"
#include "support/expect_error.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include <cmath>
#include <string>

namespace roombox {
namespace {

constexpr float kBedCode = 1.0f;
constexpr float kTableCode = 10.0f;

Plane roomPlane(float type, float position, float uMin, float uMax, float vMin, float vMax) {
  return Plane{1.0f, type, position, uMin, uMax, vMin, vMax, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
}

// The 6 x 4 x 3 m room x 0..6, y 0..4, z 0..3 with the boxes given, every
// face of each shown, meshed and named as a run would.
Reconstruction shoebox(const std::vector<Cuboid>& boxes = {}) {
  Reconstruction room;
  const float lo[3] = {0.0f, 0.0f, 0.0f};
  const float hi[3] = {6.0f, 4.0f, 3.0f};
  for (int a = 0; a < 3; ++a) {
    room.room.roomMin[a] = lo[a];
    room.room.roomMax[a] = hi[a];
  }
  room.planes.planes = {
      roomPlane(7, 0, 0, 4, 0, 3), roomPlane(7, 6, 0, 4, 0, 3), roomPlane(9, 0, 0, 6, 0, 3),
      roomPlane(9, 4, 0, 6, 0, 3), roomPlane(8, 0, 0, 6, 0, 4), roomPlane(8, 3, 0, 6, 0, 4)};
  room.cuboids = boxes;
  room.cuboidFaces.assign(boxes.size(), CuboidFaces{1, 1, 1, 1, 1, 1});
  room.rectangles = generateRectangleMesh(room.planes.planes, room.cuboids, room.cuboidFaces,
                                          cv::Mat(4, 8, CV_8UC3, cv::Scalar(200, 200, 200)), 0);
  room.scene = buildSceneModel(room.planes.planes, room.cuboids, room.rectangles);
  return room;
}

Cuboid cuboid(float x0, float x1, float y0, float y1, float z0, float z1, float category) {
  return Cuboid{1.0f, x0, x1, y0, y1, z0, z1, category, 0.0f};
}

// A table of one material that absorbs `absorption` and scatters 0.1 in
// every band, every category's default, no visual material mapped.
MaterialTable uniformTable(double absorption) {
  MaterialTable table;
  AcousticMaterial uniform;
  uniform.name = "uniform";
  uniform.absorption.fill(absorption);
  uniform.scattering.fill(0.1);
  table.materials.push_back(uniform);
  for (const char* category : CategoryNames) {
    table.mappings.push_back(MaterialMapping{category, "*", "uniform", ""});
  }
  return table;
}

const AcousticSurface* surfaceOf(const RoomAcoustics& a, const std::string& entry, int axis,
                                 double sign) {
  for (const AcousticSurface& s : a.surfaces) {
    if (s.entry == entry && s.normal[axis] == sign) return &s;
  }
  return nullptr;
}

TEST(RoomAcousticsTest, ShoeboxMatchesSabineAndEyringByHand) {
  const RoomAcoustics a = computeRoomAcoustics(shoebox(), uniformTable(0.2), AirConditions());
  const double c = 331.3 * std::sqrt(1.0 + 20.0 / 273.15);
  EXPECT_NEAR(a.speedOfSound, c, 1e-9);
  EXPECT_DOUBLE_EQ(a.volume, 72.0);
  EXPECT_DOUBLE_EQ(a.surfaceArea, 2.0 * (24.0 + 18.0 + 12.0));
  ASSERT_EQ(a.surfaces.size(), 6u);
  for (int b = 0; b < kBandCount; ++b) {
    const double m = a.airAttenuation[b];
    EXPECT_NEAR(a.equivalentAbsorptionArea[b], 21.6, 1e-9);
    EXPECT_NEAR(a.meanAbsorption[b], 0.2, 1e-12);
    EXPECT_NEAR(a.rt60Sabine[b], 55.3 * 72.0 / (c * (21.6 + 4.0 * m * 72.0)), 1e-12);
    EXPECT_NEAR(a.rt60Eyring[b], 55.3 * 72.0 / (c * (-108.0 * std::log(0.8) + 4.0 * m * 72.0)),
                1e-12);
  }
  // Without air, at 1 kHz: 0.161 V / A = 0.537 s (Sabine), 0.482 s (Eyring).
  EXPECT_NEAR(a.rt60Sabine[3], 0.537, 0.01);
  EXPECT_NEAR(a.rt60Eyring[3], 0.482, 0.01);
  EXPECT_NEAR(a.schroederFrequencyHz, 2000.0 * std::sqrt(a.rt60Eyring[3] / 72.0), 1e-9);
}

// Normals point into the room and the corners run counter-clockwise
// around them (right-hand rule), for every wall, the floor and the ceiling.
TEST(RoomAcousticsTest, RoomNormalsPointInwardWithMatchingWinding) {
  const RoomAcoustics a =
      computeRoomAcoustics(shoebox({cuboid(1, 2, 1, 2, 0, 1, kTableCode)}), uniformTable(0.2));
  for (const AcousticSurface& s : a.surfaces) {
    const Vec3& p = s.corners[0];
    const Vec3 e1 = {s.corners[1][0] - p[0], s.corners[1][1] - p[1], s.corners[1][2] - p[2]};
    const Vec3 e2 = {s.corners[2][0] - p[0], s.corners[2][1] - p[1], s.corners[2][2] - p[2]};
    const Vec3 cross = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                        e1[0] * e2[1] - e1[1] * e2[0]};
    const double dot = cross[0] * s.normal[0] + cross[1] * s.normal[1] + cross[2] * s.normal[2];
    EXPECT_NEAR(dot, s.area, 1e-9) << s.entry;
    // Into the room: the room's centre (3, 2, 1.5) lies on the normal's side
    // of a room surface; the box's centre lies behind an object face.
    const Vec3 inner = s.object ? Vec3{1.5, 1.5, 0.5} : Vec3{3.0, 2.0, 1.5};
    const double side = (inner[0] - p[0]) * s.normal[0] + (inner[1] - p[1]) * s.normal[1] +
                        (inner[2] - p[2]) * s.normal[2];
    EXPECT_EQ(side > 0.0, !s.object) << s.entry;
  }
}

TEST(RoomAcousticsTest, OverlappingAndRepeatedBoxesCountOnce) {
  // Two identical beds (4 m^3) and a table (2 m^3) overlapping them by
  // 0.5 x 1 x 0.5: 5.75 m^3 of boxes.
  const RoomAcoustics a = computeRoomAcoustics(
      shoebox({cuboid(1, 3, 1, 3, 0, 1, kBedCode), cuboid(1, 3, 1, 3, 0, 1, kBedCode),
               cuboid(2.5, 4.5, 1, 2, 0.5, 1.5, kTableCode)}),
      uniformTable(0.2));
  EXPECT_NEAR(a.volume, 72.0 - 5.75, 1e-9);
  EXPECT_EQ(a.objects.size(), 3u);
  // The floor under the beds (4 m^2, counted once) touches no air; the
  // table does not stand on the floor.
  EXPECT_NEAR(surfaceOf(a, "Floor_1", 2, 1.0)->exposedArea, 24.0 - 4.0, 1e-9);
  // A bed's bottom face lies on the floor and touches no air either.
  EXPECT_EQ(surfaceOf(a, "Bed_1", 2, -1.0)->exposedArea, 0.0);
  EXPECT_NEAR(surfaceOf(a, "Bed_1", 2, 1.0)->exposedArea, 4.0, 1e-9);
}

TEST(RoomAcousticsTest, BoxPartlyOutsideTheRoomIsClipped) {
  // x 5..7 sticks out through the wall x = 6: 1 x 1 x 1 m inside.
  const RoomAcoustics a =
      computeRoomAcoustics(shoebox({cuboid(5, 7, 1, 2, 1, 2, kTableCode)}), uniformTable(0.2));
  EXPECT_NEAR(a.volume, 71.0, 1e-9);
  EXPECT_DOUBLE_EQ(a.objects[0].max[0], 7.0);  // listed as reconstructed
  // Its top face: 2 m^2 in all, 1 m^2 inside; its face x = 7 is outside.
  const AcousticSurface* top = surfaceOf(a, "Table_1", 2, 1.0);
  EXPECT_DOUBLE_EQ(top->area, 2.0);
  EXPECT_NEAR(top->exposedArea, 1.0, 1e-9);
  EXPECT_EQ(surfaceOf(a, "Table_1", 0, 1.0)->exposedArea, 0.0);
  EXPECT_NEAR(surfaceOf(a, "Table_1", 0, -1.0)->exposedArea, 1.0, 1e-9);
}

TEST(RoomAcousticsTest, EmptyRoomAndNoRoomBox) {
  const RoomAcoustics a = computeRoomAcoustics(shoebox(), builtinMaterialTable());
  EXPECT_TRUE(a.objects.empty());
  for (const AcousticSurface& s : a.surfaces) EXPECT_EQ(s.exposedArea, s.area) << s.entry;
  // Walls are Flat, Painted and Brick in the scene description.
  EXPECT_EQ(a.surfaces[0].acousticMaterials,
            (std::vector<std::string>{"painted_plasterboard", "brickwork"}));
  for (int b = 0; b < kBandCount; ++b) EXPECT_GT(a.rt60Eyring[b], 0.0);

  Reconstruction none;
  EXPECT_FALSE(hasRoomBox(none));
  EXPECT_ROOMBOX_ERROR(computeRoomAcoustics(none), "no room box");
}

}  // namespace
}  // namespace roombox
