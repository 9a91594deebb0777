#include "cuboids/snapshot_planes.h"

#include "driver/scene_store.h"

void snapshotPlanes() {
  const int count = sceneStore.planeCount;
  std::vector<Plane>& planeSnapshot = sceneStore.planeSnapshot;
  std::vector<PlaneEquation>& equationSnapshot = sceneStore.equationSnapshot;
  planeSnapshot.resize(count);
  equationSnapshot.resize(count);
  for (int i = 0; i < count; ++i) {
    planeSnapshot[i] = sceneStore.planes[i];
    equationSnapshot[i] = sceneStore.equations[i];
  }
}
