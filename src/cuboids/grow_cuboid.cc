#include "cuboids/grow_cuboid.h"

#include "cuboids/match_growth_candidate.h"
#include "cuboids/start_cuboid_growth.h"
#include "planes/query_box_grid.h"
#include "planes/range_between.h"

#include <vector>

namespace roombox {

namespace {

// Stores a range as the box bounds on an axis.
void setBounds(Cuboid& box, int axis, AxisRange range) {
  if (axis == 0) {
    box.minX = range.low;
    box.maxX = range.high;
  } else if (axis == 1) {
    box.minY = range.low;
    box.maxY = range.high;
  } else {
    box.minZ = range.low;
    box.maxZ = range.high;
  }
}

// The box that `growth` has reached: from the seed's position to the far
// bound along the growth axis and over the grown ranges on the other two;
// kind 1, category and material of the seed.
Cuboid grownCuboid(const CuboidGrowth& growth) {
  const Plane& s = growth.seed;
  Cuboid box{};
  box.kind = 1.0f;
  const AxisRange depth =
      growth.negative ? AxisRange{growth.far, s.position} : AxisRange{s.position, growth.far};
  setBounds(box, growth.normalAxis, depth);
  setBounds(box, growth.uAxis, growth.u);
  setBounds(box, growth.vAxis, growth.v);
  box.category = s.category;
  box.material = s.material;
  return box;
}

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

Cuboid growCuboid(int seed, GrowthDirection direction, const BoxGrid& grid,
                  const std::vector<Plane>& planes, const std::vector<PlaneEquation>& equations) {
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
  return grownCuboid(growth);
}

}  // namespace roombox
