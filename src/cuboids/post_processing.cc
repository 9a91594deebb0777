#include "cuboids/post_processing.h"

#include "planes/box_grid.h"

#include <algorithm>
#include <vector>

namespace roombox {

std::vector<CuboidFaces> clampCuboidsToRoom(const RoomBox& room, std::vector<Cuboid>& cuboids) {
  const float* roomMin = room.roomMin;
  const float* roomMax = room.roomMax;
  std::vector<CuboidFaces> shown(cuboids.size(), CuboidFaces{1, 1, 1, 1, 1, 1});
  for (std::size_t k = 0; k < cuboids.size(); ++k) {
    Cuboid& box = cuboids[k];
    CuboidFaces& faces = shown[k];
    if (roomMin[0] >= box.minX) {
      box.minX = roomMin[0];
      faces.minXShown = 0;
    }
    if (roomMin[1] >= box.minY) {
      box.minY = roomMin[1];
      faces.minYShown = 0;
    }
    if (roomMin[2] >= box.minZ) {
      box.minZ = roomMin[2];
      faces.minZShown = 0;
    }
    if (roomMax[0] <= box.maxX) {
      box.maxX = roomMax[0];
      faces.maxXShown = 0;
    }
    if (roomMax[1] <= box.maxY) {
      box.maxY = roomMax[1];
      faces.maxYShown = 0;
    }
    if (roomMax[2] <= box.maxZ) {
      box.maxZ = roomMax[2];
      faces.maxZShown = 0;
    }
  }
  return shown;
}

void hideFacesAgainst(const Cuboid& a, const Cuboid& b, bool bIsLater, CuboidFaces& faces) {
  const bool coversX = b.minX <= a.minX && b.maxX >= a.maxX;
  const bool coversY = b.minY <= a.minY && b.maxY >= a.maxY;
  const bool coversZ = b.minZ <= a.minZ && b.maxZ >= a.maxZ;
  // Equal ranges on an axis: a face on the other two axes is then the same
  // rectangle as b's face in its plane.
  const bool sameX = b.minX == a.minX && b.maxX == a.maxX;
  const bool sameY = b.minY == a.minY && b.maxY == a.maxY;
  const bool sameZ = b.minZ == a.minZ && b.maxZ == a.maxZ;
  // A same-side face of a later box that is the very same rectangle leaves
  // a's face shown; the later box's copy is the one hidden.
  const bool keepX = bIsLater && sameY && sameZ;
  const bool keepY = bIsLater && sameX && sameZ;
  const bool keepZ = bIsLater && sameX && sameY;
  if (coversY && coversZ) {
    if (a.minX == b.maxX || (a.minX == b.minX && !keepX)) faces.minXShown = 0;
    if (a.maxX == b.minX || (a.maxX == b.maxX && !keepX)) faces.maxXShown = 0;
  }
  if (coversX && coversZ) {
    if (a.minY == b.maxY || (a.minY == b.minY && !keepY)) faces.minYShown = 0;
    if (a.maxY == b.minY || (a.maxY == b.maxY && !keepY)) faces.maxYShown = 0;
  }
  if (coversX && coversY) {
    if (a.minZ == b.maxZ || (a.minZ == b.minZ && !keepZ)) faces.minZShown = 0;
    if (a.maxZ == b.minZ || (a.maxZ == b.maxZ && !keepZ)) faces.maxZShown = 0;
  }
}

namespace {

// The closed box between a cuboid's bounds on every axis.
GridBox cuboidBox(const Cuboid& box) {
  GridBox grid;
  rangeBetween(box.minX, box.maxX, grid.lo[0], grid.hi[0]);
  rangeBetween(box.minY, box.maxY, grid.lo[1], grid.hi[1]);
  rangeBetween(box.minZ, box.maxZ, grid.lo[2], grid.hi[2]);
  return grid;
}

}  // namespace

void hideCoveredFaces(const std::vector<Cuboid>& boxes, std::vector<CuboidFaces>& shown) {
  const int count = static_cast<int>(std::min(boxes.size(), shown.size()));
  if (count <= 0) return;

  // A box that hides a face of another meets it (the face lies in one of its
  // face planes and it covers the face on the other two axes), so only the
  // boxes the grid finds near box i need the six tests.
  std::vector<GridBox> gridBoxes(count);
  std::vector<int> ids(count);
  for (int i = 0; i < count; ++i) {
    gridBoxes[i] = cuboidBox(boxes[i]);
    ids[i] = i;
  }
  BoxGrid grid;
  buildBoxGrid(gridBoxes, ids, grid);

  std::vector<int> candidates;
  for (int i = 0; i < count; ++i) {
    CuboidFaces& faces = shown[i];
    queryBoxGrid(grid, gridBoxes[i], candidates);
    for (const int j : candidates) {
      if (j != i) hideFacesAgainst(boxes[i], boxes[j], j > i, faces);
    }
  }
}

}  // namespace roombox
