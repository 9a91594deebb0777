#pragma once

#include "cuboids/cuboid_growth.h"
#include "roombox/cuboid.h"
#include "roombox/plane.h"

#include <vector>

// Straightforward versions of the cuboid stages, kept as the oracle for the
// indexed ones: same results, bit for bit, on any input. They take and
// return what the indexed stages do.

namespace roombox {

// Cuboid growth: one box per seed, in plane order, each examining every
// later plane. Returns the boxes.
std::vector<Cuboid> referenceReconstructCuboids(const std::vector<Plane>& planes,
                                                const std::vector<PlaneEquation>& equations);
Cuboid referenceGrowCuboid(int seed, GrowthDirection direction, const std::vector<Plane>& planes,
                           const std::vector<PlaneEquation>& equations);

// Covered-face hiding, comparing every ordered pair of boxes.
void referenceHideCoveredFaces(const std::vector<Cuboid>& boxes, std::vector<CuboidFaces>& shown);

}  // namespace roombox
