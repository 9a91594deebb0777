// Cuboid growth and covered-face hiding as first written: every later plane
// examined for every seed, every box compared with every other box, with no
// index. Each candidate is handled by the same routine as in the indexed
// stages, so the tests that hold the indexed stages to these results check
// their choice of candidates.

#include "cuboids/reference_scans.h"

#include "cuboids/hide_faces_against.h"
#include "cuboids/match_growth_candidate.h"
#include "cuboids/seed_growth_direction.h"
#include "cuboids/snapshot_planes.h"
#include "cuboids/start_cuboid_growth.h"
#include "cuboids/store_grown_cuboid.h"
#include "driver/scene_store.h"

void referenceGrowCuboid(int seed, GrowthDirection direction) {
  const std::vector<Plane>& planes = sceneStore.planeSnapshot;
  const std::vector<PlaneEquation>& equations = sceneStore.equationSnapshot;
  CuboidGrowth growth = startCuboidGrowth(planes[seed], equations[seed], direction);
  // Only planes after the seed shape its box.
  for (int j = seed + 1; j < sceneStore.planeCount; ++j) {
    matchGrowthCandidate(planes[j], equations[j], growth);
  }
  storeGrownCuboid(growth);
}

int referenceReconstructCuboids() {
  snapshotPlanes();
  for (int i = 0; i < sceneStore.planeCount; ++i) {
    GrowthDirection direction{};
    if (seedGrowthDirection(sceneStore.planeSnapshot[i], sceneStore.equationSnapshot[i],
                            direction)) {
      referenceGrowCuboid(i, direction);
    }
  }
  return sceneStore.cuboidCount;
}

void referenceHideCoveredFaces() {
  const std::vector<Cuboid>& boxes = sceneStore.cuboids;
  const int count = sceneStore.cuboidCount;
  for (int i = 0; i < count; ++i) {
    for (int j = 0; j < count; ++j) {
      if (j != i) hideFacesAgainst(boxes[i], boxes[j], sceneStore.cuboidFaces[i]);
    }
  }
}
