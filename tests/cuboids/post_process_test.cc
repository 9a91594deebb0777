#include "cuboids/post_processing.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace roombox {
namespace {

// Bounds minX, maxX, minY, maxY, minZ, maxZ.
Cuboid box(float minX, float maxX, float minY, float maxY, float minZ, float maxZ) {
  return Cuboid{1, minX, maxX, minY, maxY, minZ, maxZ, 0, 0};
}

constexpr CuboidFaces kAllShown{1, 1, 1, 1, 1, 1};

void expectFaces(const CuboidFaces& got, const CuboidFaces& want) {
  using Flags = std::array<int, 6>;
  EXPECT_EQ((Flags{got.minXShown, got.maxXShown, got.minYShown, got.maxYShown, got.minZShown,
                   got.maxZShown}),
            (Flags{want.minXShown, want.maxXShown, want.minYShown, want.maxYShown, want.minZShown,
                   want.maxZShown}));
}

// A cube room from low to high on every axis.
RoomBox room(float low, float high) {
  RoomBox r;
  for (int axis = 0; axis < 3; ++axis) {
    r.roomMin[axis] = low;
    r.roomMax[axis] = high;
  }
  return r;
}

TEST(ClampCuboidsToRoom, CutsBoxesToTheRoomAndHidesFacesOnTheBoundary) {
  std::vector<Cuboid> boxes = {box(-1, 1, -2, 1, 0, 1), box(0, 3.2f, 0, 1, -2.5f, 3),
                               box(-1, 1, -1, 1, -0.5f, 1.5f)};
  const std::vector<CuboidFaces> faces = clampCuboidsToRoom(room(-2, 3), boxes);
  ASSERT_EQ(boxes.size(), 3u);
  ASSERT_EQ(faces.size(), 3u);  // one record per box
  EXPECT_EQ(boxes[0].minY, -2.0f);  // on the boundary: kept, face hidden
  expectFaces(faces[0], {1, 1, 0, 1, 1, 1});
  EXPECT_EQ(boxes[1].maxX, 3.0f);  // beyond: cut back, face hidden
  EXPECT_EQ(boxes[1].minZ, -2.0f);
  EXPECT_EQ(boxes[1].maxZ, 3.0f);
  expectFaces(faces[1], {1, 0, 1, 1, 0, 0});
  EXPECT_EQ(boxes[2].minZ, -0.5f);  // inside: untouched
  expectFaces(faces[2], kAllShown);
}

struct HideCase {
  std::string name;
  std::vector<Cuboid> boxes;
  std::vector<CuboidFaces> expected;
};

TEST(HideCoveredFaces, HidesFacesLyingOnACoveringFaceOfAnotherBox) {
  const Cuboid a = box(0, 2, 0, 2, 0, 2);
  const std::vector<HideCase> cases = {
      {"identical boxes: the first keeps every face, the second loses them",
       {a, a},
       {kAllShown, {0, 0, 0, 0, 0, 0}}},
      {"three identical boxes: only the first shows faces",
       {a, a, a},
       {kAllShown, {0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}}},
      {"shared bottom face of equal size: the earlier box shows it",
       {box(0, 2, 0, 2, 0, 1), box(0, 2, 0, 2, 0, 2)},
       {{0, 0, 0, 0, 1, 1}, {1, 1, 1, 1, 0, 1}}},
      {"taller box first: it keeps the shared bottom face",
       {box(0, 2, 0, 2, 0, 2), box(0, 2, 0, 2, 0, 1)},
       {kAllShown, {0, 0, 0, 0, 0, 1}}},
      {"same-side face inside a larger one stays hidden",
       {box(0.5f, 1.5f, 0, 1, 0.5f, 1.5f), a},
       {{1, 1, 0, 1, 1, 1}, kAllShown}},
      {"identical boxes touching a third: shared faces hidden on both copies",
       {a, a, box(2, 3, 0, 2, 0, 2)},
       {{1, 0, 1, 1, 1, 1}, {0, 0, 0, 0, 0, 0}, {0, 1, 1, 1, 1, 1}}},
      {"smaller box on top: only its own face is hidden",
       {a, box(0.5f, 1.5f, 2, 3, 0.5f, 1.5f)},
       {kAllShown, {1, 1, 0, 1, 1, 1}}},
      {"box with an equal face: both faces hidden",
       {a, box(0, 2, 2, 3, 0, 2)},
       {{1, 1, 1, 0, 1, 1}, {1, 1, 0, 1, 1, 1}}},
      {"covered on one axis only stays shown",
       {a, box(0, 2, 2, 3, 0.5f, 3)},
       {kAllShown, kAllShown}},
  };
  for (const HideCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<CuboidFaces> faces(c.boxes.size(), kAllShown);
    hideCoveredFaces(c.boxes, faces);
    ASSERT_EQ(faces.size(), c.boxes.size());
    for (size_t i = 0; i < c.expected.size(); ++i) {
      SCOPED_TRACE(i);
      expectFaces(faces[i], c.expected[i]);
    }
  }
}

// More than a thousand boxes in a row along x, each touching the next: every
// shared face is hidden, the two outer x faces stay shown.
TEST(HideCoveredFaces, MoreThanAThousandBoxes) {
  std::vector<Cuboid> boxes;
  for (int i = 0; i < 1200; ++i) boxes.push_back(box(i, i + 1, 0, 1, 0, 1));
  std::vector<CuboidFaces> faces = clampCuboidsToRoom(room(-10, 2000), boxes);
  hideCoveredFaces(boxes, faces);
  ASSERT_EQ(faces.size(), boxes.size());
  expectFaces(faces[0], {1, 0, 1, 1, 1, 1});
  expectFaces(faces[600], {0, 0, 1, 1, 1, 1});
  expectFaces(faces[1199], {0, 1, 1, 1, 1, 1});
}

}  // namespace
}  // namespace roombox
