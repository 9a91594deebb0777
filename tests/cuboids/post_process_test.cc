#include "cuboids/clamp_cuboids_to_room.h"
#include "cuboids/hide_covered_faces.h"

#include "driver/scene_store.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

// Bounds minX, maxX, minY, maxY, minZ, maxZ.
Cuboid box(float minX, float maxX, float minY, float maxY, float minZ, float maxZ) {
  return Cuboid{1, minX, maxX, minY, maxY, minZ, maxZ, 0, 0};
}

constexpr CuboidFaces kAllShown{1, 1, 1, 1, 1, 1};

void loadBoxes(const std::vector<Cuboid>& boxes) {
  sceneStore = SceneStore{};
  sceneStore.cuboids = boxes;
  sceneStore.cuboidCount = static_cast<int>(boxes.size());
  sceneStore.cuboidFaces.assign(boxes.size(), kAllShown);
}

void expectFaces(const CuboidFaces& got, const CuboidFaces& want) {
  using Flags = std::array<int, 6>;
  EXPECT_EQ((Flags{got.minXShown, got.maxXShown, got.minYShown, got.maxYShown, got.minZShown,
                   got.maxZShown}),
            (Flags{want.minXShown, want.maxXShown, want.minYShown, want.maxYShown, want.minZShown,
                   want.maxZShown}));
}

void setRoom(float low, float high) {
  for (int axis = 0; axis < 3; ++axis) {
    sceneStore.roomMin[axis] = low;
    sceneStore.roomMax[axis] = high;
  }
}

TEST(ClampCuboidsToRoom, CutsBoxesToTheRoomAndHidesFacesOnTheBoundary) {
  loadBoxes(
      {box(-1, 1, -2, 1, 0, 1), box(0, 3.2f, 0, 1, -2.5f, 3), box(-1, 1, -1, 1, -0.5f, 1.5f)});
  setRoom(-2, 3);
  clampCuboidsToRoom();
  const std::vector<Cuboid>& boxes = sceneStore.cuboids;
  EXPECT_EQ(boxes[0].minY, -2.0f);  // on the boundary: kept, face hidden
  expectFaces(sceneStore.cuboidFaces[0], {1, 1, 0, 1, 1, 1});
  EXPECT_EQ(boxes[1].maxX, 3.0f);  // beyond: cut back, face hidden
  EXPECT_EQ(boxes[1].minZ, -2.0f);
  EXPECT_EQ(boxes[1].maxZ, 3.0f);
  expectFaces(sceneStore.cuboidFaces[1], {1, 0, 1, 1, 0, 0});
  EXPECT_EQ(boxes[2].minZ, -0.5f);  // inside: untouched
  expectFaces(sceneStore.cuboidFaces[2], kAllShown);
}

struct HideCase {
  std::string name;
  std::vector<Cuboid> boxes;
  std::vector<CuboidFaces> expected;
};

TEST(HideCoveredFaces, HidesFacesLyingOnACoveringFaceOfAnotherBox) {
  const Cuboid a = box(0, 2, 0, 2, 0, 2);
  const std::vector<HideCase> cases = {
      {"identical boxes hide every face", {a, a}, {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}}},
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
    loadBoxes(c.boxes);
    hideCoveredFaces();
    for (size_t i = 0; i < c.expected.size(); ++i) {
      SCOPED_TRACE(i);
      expectFaces(sceneStore.cuboidFaces[i], c.expected[i]);
    }
  }
}

// More boxes than the 1000 reserved slots, in a row along x, each touching
// the next: every shared face is hidden, the two outer x faces stay shown.
TEST(HideCoveredFaces, MoreThanAThousandBoxes) {
  std::vector<Cuboid> boxes;
  for (int i = 0; i < 1200; ++i) boxes.push_back(box(i, i + 1, 0, 1, 0, 1));
  loadBoxes(boxes);
  setRoom(-10, 2000);
  clampCuboidsToRoom();
  hideCoveredFaces();
  expectFaces(sceneStore.cuboidFaces[0], {1, 0, 1, 1, 1, 1});
  expectFaces(sceneStore.cuboidFaces[600], {0, 0, 1, 1, 1, 1});
  expectFaces(sceneStore.cuboidFaces[1199], {0, 1, 1, 1, 1, 1});
}

}  // namespace
