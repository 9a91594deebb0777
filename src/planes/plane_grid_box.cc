#include "planes/plane_grid_box.h"

#include "planes/range_between.h"

namespace roombox {

GridBox planeGridBox(const Plane& plane) {
  // In-plane axes of each normal axis: x -> (y, z), y -> (x, z), z -> (x, y).
  const int normal = plane.type == 1.0f ? 0 : plane.type == 2.0f ? 1 : 2;
  const int u = normal == 0 ? 1 : 0;
  const int v = normal == 2 ? 1 : 2;
  GridBox box;
  box.lo[normal] = box.hi[normal] = plane.position;
  rangeBetween(plane.uMin, plane.uMax, box.lo[u], box.hi[u]);
  rangeBetween(plane.vMin, plane.vMax, box.lo[v], box.hi[v]);
  return box;
}

}  // namespace roombox
