#include "cuboids/reconstruct_cuboids.h"

#include "cuboids/grow_cuboid.h"
#include "cuboids/seed_growth_direction.h"
#include "cuboids/snapshot_planes.h"
#include "driver/scene_store.h"
#include "planes/build_box_grid.h"
#include "planes/plane_grid_box.h"

#include <vector>

int reconstructCuboids() {
  snapshotPlanes();
  const int count = sceneStore.planeCount;
  const std::vector<Plane>& planeSnapshot = sceneStore.planeSnapshot;
  const std::vector<PlaneEquation>& equationSnapshot = sceneStore.equationSnapshot;

  // Only object planes shape a box; the grid finds those near each seed.
  std::vector<GridBox> boxes;
  std::vector<int> ids;
  for (int i = 0; i < count; ++i) {
    const float type = planeSnapshot[i].type;
    if (type != 1.0f && type != 2.0f && type != 3.0f) continue;
    boxes.push_back(planeGridBox(planeSnapshot[i]));
    ids.push_back(i);
  }
  BoxGrid grid;
  buildBoxGrid(boxes, ids, grid);

  for (int i = 0; i < count; ++i) {
    GrowthDirection direction{};
    if (seedGrowthDirection(planeSnapshot[i], equationSnapshot[i], direction)) {
      growCuboid(i, direction, grid);
    }
  }
  return sceneStore.cuboidCount;
}
