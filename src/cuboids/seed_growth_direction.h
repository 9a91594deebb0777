#pragma once

#include "cuboids/cuboid_growth.h"

namespace roombox {

// Tells whether plane (with its equation) seeds a box, and which way the box
// grows: an object plane of type 1, 2 or 3 whose normal component along its
// own axis is exactly +1 or -1 does, whether active or not. On a seed, sets
// direction and returns true; otherwise returns false and leaves direction
// as it is.
bool seedGrowthDirection(const Plane& plane, const PlaneEquation& equation,
                         GrowthDirection& direction);

}  // namespace roombox
