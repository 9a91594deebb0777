#include "common/plane_types.h"

#include "roombox/categories.h"
#include "roombox/view_config.h"

#include <gtest/gtest.h>

#include <limits>

namespace roombox {
namespace {

// The reconstruction takes a code only when it is exact; placing a
// rectangle and moving a view's planes truncate it. Types 4..6 move with a
// view but are neither object faces nor room surfaces.
TEST(PlaneTypes, ExactAndTruncatedCodesStayApart) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    float type;
    int objectAxis;      // objectFaceAxis
    int roomAxis;        // roomSurfaceAxis
    int truncatedRoom;   // roomSurfaceAxisTruncated
    int viewMove;        // viewMoveAxisTruncated
    int normal;          // planeNormalAxis
  };
  const Case cases[] = {
      {1.0f, 0, -1, -1, 0, 0},    {2.0f, 1, -1, -1, 1, 1},    {3.0f, 2, -1, -1, 2, 2},
      {4.0f, -1, -1, -1, 0, 0},   {5.0f, -1, -1, -1, 1, 1},   {6.0f, -1, -1, -1, 2, 2},
      {7.0f, -1, 0, 0, 0, 0},     {8.0f, -1, 2, 2, 2, 2},     {9.0f, -1, 1, 1, 1, 1},
      {1.5f, -1, -1, -1, 0, -1},  {7.5f, -1, -1, 0, 0, -1},   {8.9f, -1, -1, 2, 2, -1},
      {9.99f, -1, -1, 1, 1, -1},  {10.0f, -1, -1, -1, -1, -1}, {0.5f, -1, -1, -1, -1, -1},
      {0.0f, -1, -1, -1, -1, -1}, {-7.0f, -1, -1, -1, -1, -1}, {nan, -1, -1, -1, -1, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    EXPECT_EQ(objectFaceAxis(c.type), c.objectAxis);
    EXPECT_EQ(isObjectFace(c.type), c.objectAxis >= 0);
    EXPECT_EQ(roomSurfaceAxis(c.type), c.roomAxis);
    EXPECT_EQ(isRoomSurface(c.type), c.roomAxis >= 0);
    EXPECT_EQ(isFloorOrCeiling(c.type), c.roomAxis == 2);
    EXPECT_EQ(roomSurfaceAxisTruncated(c.type), c.truncatedRoom);
    EXPECT_EQ(viewMoveAxisTruncated(c.type), c.viewMove);
    EXPECT_EQ(planeNormalAxis(c.type), c.normal);
    for (int axis = -1; axis <= 3; ++axis) {
      EXPECT_EQ(isObjectFaceAlong(c.type, axis), axis >= 0 && axis == c.objectAxis) << axis;
    }
  }
  EXPECT_FALSE(sameType(nan, nan));
  EXPECT_TRUE(sameType(-0.0f, 0.0f));
}

TEST(PlaneTypes, RoomSurfaceCategoriesAndBoxKinds) {
  Plane plane{};
  plane.type = 8.0f;
  plane.position = 0.0f;
  EXPECT_EQ(roomSurfaceCategory(plane), kCategoryFloor);  // z = 0 is the floor
  plane.position = 1e-30f;
  EXPECT_EQ(roomSurfaceCategory(plane), kCategoryCeiling);
  plane.position = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(roomSurfaceCategory(plane), kCategoryFloor);
  for (const float wall : {7.0f, 9.0f}) {
    plane.type = wall;
    plane.position = 2.0f;
    EXPECT_EQ(roomSurfaceCategory(plane), kCategoryWall);
  }
  Cuboid box{};
  for (const float kind : {0.0f, 0.999f, 1.5f, 2.0f}) {
    box.kind = kind;
    EXPECT_FALSE(isGrownBox(box)) << kind;
  }
  box.kind = 1.0f;
  EXPECT_TRUE(isGrownBox(box));
}

TEST(Categories, IndexesOutsideTheTablesNameAndColourNone) {
  EXPECT_STREQ(categoryName(kCategoryWall), "Wall");
  EXPECT_STREQ(categoryName(14), "Window");
  const CategoryRgb wall = categoryRgb(kCategoryWall);
  EXPECT_EQ(wall.r, 128);
  EXPECT_EQ(wall.g, 255);
  EXPECT_EQ(wall.b, 255);
  for (const float code : {-0.99f, 0.0f, 14.99f}) EXPECT_TRUE(isCategoryCode(code)) << code;
  for (const float code : {-1.0f, 15.0f, std::numeric_limits<float>::quiet_NaN()}) {
    EXPECT_FALSE(isCategoryCode(code)) << code;
  }
  for (const int outside : {-1, kCategoryCount, 1 << 30}) {
    EXPECT_STREQ(categoryName(outside), "None") << outside;
    const CategoryRgb colour = categoryRgb(outside);
    EXPECT_EQ(colour.r + colour.g + colour.b, 0) << outside;
  }
}

// Plane files have one slot fewer than affine files and textures; a
// negative count is no extra view.
TEST(ViewConfig, UsableViewCountsKeepEachPartWithinItsSlots) {
  ViewConfig views;
  const struct {
    int count;
    int planeFiles;
    int others;
  } cases[] = {{-5, 0, 0}, {0, 0, 0}, {2, 2, 2}, {3, 3, 3}, {4, 3, 4}, {1000, 3, 4}};
  for (const auto& c : cases) {
    views.viewCount = c.count;
    EXPECT_EQ(usableViewCount(views, ViewSlots::kPlaneFiles), c.planeFiles) << c.count;
    EXPECT_EQ(usableViewCount(views, ViewSlots::kAffineFiles), c.others) << c.count;
    EXPECT_EQ(usableViewCount(views, ViewSlots::kTextures), c.others) << c.count;
  }
}

}  // namespace
}  // namespace roombox
