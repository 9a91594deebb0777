#include "cuboids/reconstruct_cuboids.h"

#include "cuboids/grow_cuboid.h"
#include "driver/scene_store.h"

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

  for (int i = 0; i < count; ++i) {
    const float type = planeSnapshot[i].type;
    const PlaneEquation& equation = equationSnapshot[i];
    if (type == 2.0f && equation.b == 1.0f) {
      growCuboid(i, GrowthDirection::kTowardNegativeY);
    } else if (type == 2.0f && equation.b == -1.0f) {
      growCuboid(i, GrowthDirection::kTowardPositiveY);
    } else if (type == 1.0f && equation.a == 1.0f) {
      growCuboid(i, GrowthDirection::kTowardNegativeX);
    } else if (type == 1.0f && equation.a == -1.0f) {
      growCuboid(i, GrowthDirection::kTowardPositiveX);
    } else if (type == 3.0f && equation.c == 1.0f) {
      growCuboid(i, GrowthDirection::kTowardNegativeZ);
    } else if (type == 3.0f && equation.c == -1.0f) {
      growCuboid(i, GrowthDirection::kTowardPositiveZ);
    }
  }
  return sceneStore.cuboidCount;
}
