// What the preview draws of a reconstruction: names, edges and hidden edges.
#include "preview/preview_fixtures.h"
#include "preview/preview_items.h"

#include <gtest/gtest.h>

namespace roombox {
namespace {

// True when the edge joins p and q, in either direction.
bool joins(const PreviewEdge& edge, const cv::Point3d& p, const cv::Point3d& q) {
  return (edge.a == p && edge.b == q) || (edge.a == q && edge.b == p);
}

TEST(BoxEdges, TwelveAxisEdgesHiddenOnlyWhereBothFacesAreOff) {
  const Cuboid box{1.0f, 1.0f, 2.0f, -1.0f, 0.5f, -1.5f, -1.0f, 1.0f, 0.0f};
  const std::vector<PreviewEdge> all = boxEdges(box, CuboidFaces{1, 1, 1, 1, 1, 1});
  ASSERT_EQ(all.size(), 12u);
  for (const PreviewEdge& edge : all) EXPECT_FALSE(edge.hidden);

  // The min-x and min-y faces off: only the upright edge where they meet is
  // hidden; the edges each shares with a shown face are not.
  const std::vector<PreviewEdge> corner = boxEdges(box, CuboidFaces{0, 1, 0, 1, 1, 1});
  int hidden = 0;
  for (const PreviewEdge& edge : corner) {
    if (!edge.hidden) continue;
    ++hidden;
    EXPECT_TRUE(joins(edge, cv::Point3d(1, -1, -1.5), cv::Point3d(1, -1, -1))) << edge.a << edge.b;
  }
  EXPECT_EQ(hidden, 1);
  // A face switch other than 1 counts as off, as in the mesh.
  for (const PreviewEdge& edge : boxEdges(box, CuboidFaces{0, 2, 0, -1, 0, 0})) {
    EXPECT_TRUE(edge.hidden);
  }
}

TEST(CollectPreviewItems, OneItemPerGroupNamedLikeTheSceneDescription) {
  Reconstruction room = handMadeRoom();
  addBox(room, kBed, 1, 1.0f, 2.0f, -1.0f, 0.5f, -1.5f, -1.0f);
  addBox(room, kBed, 2, -2.0f, -1.0f, -1.0f, 0.5f, -1.5f, -1.0f);
  const std::vector<PreviewItem> items = collectPreviewItems(room);
  ASSERT_EQ(items.size(), 8u);
  const char* names[8] = {"Wall_1",  "Wall_2",    "Wall_3", "Wall_4",
                          "Floor_1", "Ceiling_1", "Bed_1",  "Bed_2"};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(items[i].name, names[i]);
    EXPECT_EQ(items[i].box, i >= 6) << names[i];
    EXPECT_EQ(items[i].edges.size(), i >= 6 ? 12u : 4u) << names[i];
  }
  // Rectangles lie in their plane: the wall x = 3, the floor z = -1.5.
  EXPECT_EQ(items[0].footprintMin, cv::Point2d(3, -2));
  EXPECT_EQ(items[0].footprintMax, cv::Point2d(3, 2));
  EXPECT_EQ(items[4].centre, cv::Point3d(0, 0, -1.5));
  EXPECT_EQ(items[6].centre, cv::Point3d(1.5, -0.25, -1.25));
  EXPECT_EQ(items[6].footprintMin, cv::Point2d(1, -1));
  EXPECT_EQ(items[6].footprintMax, cv::Point2d(2, 0.5));
  EXPECT_EQ(items[6].category, kBed);
}

}  // namespace
}  // namespace roombox
