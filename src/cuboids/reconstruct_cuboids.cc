#include "cuboids/reconstruct_cuboids.h"

#include "cuboids/grow_cuboid.h"
#include "driver/scene_store.h"
#include "planes/build_box_grid.h"
#include "planes/plane_grid_box.h"

#include <vector>

int reconstructCuboids() {
  const int count = sceneStore.planeCount;
  std::vector<Plane>& planeSnapshot = sceneStore.planeSnapshot;
  std::vector<PlaneEquation>& equationSnapshot = sceneStore.equationSnapshot;
  planeSnapshot.resize(count);
  equationSnapshot.resize(count);
  for (int i = 0; i < count; ++i) {
    planeSnapshot[i] = sceneStore.planes[i];
    equationSnapshot[i] = sceneStore.equations[i];
  }

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
    const float type = planeSnapshot[i].type;
    const PlaneEquation& equation = equationSnapshot[i];
    if (type == 2.0f && equation.b == 1.0f) {
      growCuboid(i, GrowthDirection::kTowardNegativeY, grid);
    } else if (type == 2.0f && equation.b == -1.0f) {
      growCuboid(i, GrowthDirection::kTowardPositiveY, grid);
    } else if (type == 1.0f && equation.a == 1.0f) {
      growCuboid(i, GrowthDirection::kTowardNegativeX, grid);
    } else if (type == 1.0f && equation.a == -1.0f) {
      growCuboid(i, GrowthDirection::kTowardPositiveX, grid);
    } else if (type == 3.0f && equation.c == 1.0f) {
      growCuboid(i, GrowthDirection::kTowardNegativeZ, grid);
    } else if (type == 3.0f && equation.c == -1.0f) {
      growCuboid(i, GrowthDirection::kTowardPositiveZ, grid);
    }
  }
  return sceneStore.cuboidCount;
}
