#include "cuboids/grow_cuboid.h"

#include "cuboids/match_growth_candidate.h"
#include "cuboids/start_cuboid_growth.h"
#include "cuboids/store_grown_cuboid.h"
#include "driver/scene_store.h"
#include "planes/query_box_grid.h"
#include "planes/range_between.h"

#include <vector>

namespace {

// The box of the seed plane along the growth axis from near to `far`, over
// the seed's own in-plane ranges (taken between their bounds).
GridBox seedBox(const CuboidGrowth& growth, float far) {
  const Plane& s = growth.seed;
  GridBox box;
  rangeBetween(s.position, far, box.lo[growth.normalAxis], box.hi[growth.normalAxis]);
  rangeBetween(s.uMin, s.uMax, box.lo[growth.uAxis], box.hi[growth.uAxis]);
  rangeBetween(s.vMin, s.vMax, box.lo[growth.vAxis], box.hi[growth.vAxis]);
  return box;
}

}  // namespace

void growCuboid(int seed, GrowthDirection direction, const BoxGrid& grid) {
  const std::vector<Plane>& planes = sceneStore.planeSnapshot;
  const std::vector<PlaneEquation>& equations = sceneStore.equationSnapshot;
  const CuboidGrowth start = startCuboidGrowth(planes[seed], equations[seed], direction);
  const Plane& s = start.seed;

  // Side faces touch the seed plane itself, so they are among the planes
  // whose boxes meet it. Whether one matches depends on the seed alone, so
  // the farthest that the far bound can ever reach is known before the scan:
  // side faces only move it out to their far ends, parallel faces only pull
  // it back toward the seed. Each candidate alone, on the starting box, shows
  // how far it would move the bound out.
  std::vector<int> candidates;
  queryBoxGrid(grid, seedBox(start, s.position), candidates);
  float reach = start.far;
  for (const int j : candidates) {
    if (j <= seed) continue;
    CuboidGrowth alone = start;
    matchGrowthCandidate(planes[j], equations[j], alone);
    if (start.negative ? alone.far < reach : alone.far > reach) reach = alone.far;
  }

  // Every plane that can shape the box meets the seed's box out to that
  // reach; they are examined in index order, as the plane list orders them.
  queryBoxGrid(grid, seedBox(start, reach), candidates);
  CuboidGrowth growth = start;
  for (const int j : candidates) {
    if (j > seed) matchGrowthCandidate(planes[j], equations[j], growth);
  }
  storeGrownCuboid(growth);
}
