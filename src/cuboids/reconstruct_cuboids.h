#pragma once

#include "roombox/cuboid.h"
#include "roombox/plane.h"

#include <vector>

namespace roombox {

// Grows one box from every object plane whose normal lies exactly along its
// own axis (type 1, 2 or 3 with a normal component of exactly +1 or -1),
// in plane-list order, active or not, and returns the boxes in that order.
// equations holds one equation per plane.
std::vector<Cuboid> reconstructCuboids(const std::vector<Plane>& planes,
                                       const std::vector<PlaneEquation>& equations);

}  // namespace roombox
