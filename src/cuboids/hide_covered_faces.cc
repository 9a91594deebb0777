#include "cuboids/hide_covered_faces.h"

#include "cuboids/hide_faces_against.h"
#include "planes/build_box_grid.h"
#include "planes/query_box_grid.h"
#include "planes/range_between.h"

#include <algorithm>
#include <vector>

namespace roombox {

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
