#include "bake/rectangle_corners.h"

namespace roombox {

void rectangleCorners(const MeshStore& mesh, int row, double corners[4][3]) {
  const int* cells = mesh.faces.ptr<int>(row);
  for (int k = 0; k < 4; ++k) {
    const MeshPoint& p = mesh.vertices[static_cast<std::size_t>(cells[k])];
    corners[k][0] = p.x;
    corners[k][1] = p.y;
    corners[k][2] = p.z;
  }
}

}  // namespace roombox
