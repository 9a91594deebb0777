#pragma once

#include "cuboids/cuboid_growth.h"

namespace roombox {

// The growth of a box from seed plane `seed` (an object plane of type 1, 2
// or 3 matching `direction`, whose equation is seedEquation) before any
// other plane shapes it: the far bound lies 0.5 away from the seed's position
// in `direction`, and the box spans the seed's own in-plane ranges.
CuboidGrowth startCuboidGrowth(const Plane& seed, const PlaneEquation& seedEquation,
                               GrowthDirection direction);

}  // namespace roombox
