#include "cuboids/reconstruct_cuboids.h"

#include "cuboids/grow_cuboid.h"
#include "cuboids/seed_growth_direction.h"
#include "planes/build_box_grid.h"
#include "planes/plane_grid_box.h"

#include <algorithm>
#include <vector>

namespace roombox {

std::vector<Cuboid> reconstructCuboids(const std::vector<Plane>& planes,
                                       const std::vector<PlaneEquation>& equations) {
  const int count = static_cast<int>(std::min(planes.size(), equations.size()));

  // Only object planes shape a box; the grid finds those near each seed.
  std::vector<GridBox> boxes;
  std::vector<int> ids;
  for (int i = 0; i < count; ++i) {
    const float type = planes[i].type;
    if (type != 1.0f && type != 2.0f && type != 3.0f) continue;
    boxes.push_back(planeGridBox(planes[i]));
    ids.push_back(i);
  }
  BoxGrid grid;
  buildBoxGrid(boxes, ids, grid);

  std::vector<Cuboid> cuboids;
  for (int i = 0; i < count; ++i) {
    GrowthDirection direction{};
    if (seedGrowthDirection(planes[i], equations[i], direction)) {
      cuboids.push_back(growCuboid(i, direction, grid, planes, equations));
    }
  }
  return cuboids;
}

}  // namespace roombox
