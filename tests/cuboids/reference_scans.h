#pragma once

#include "cuboids/grow_cuboid.h"

// Straightforward versions of the cuboid stages, kept as the oracle for the
// indexed ones: same results, bit for bit, on any input.

// Cuboid growth over sceneStore: snapshots the planes, then grows one box
// per seed, examining every later plane. Returns the new cuboidCount.
int referenceReconstructCuboids();
void referenceGrowCuboid(int seed, GrowthDirection direction);

// Covered-face hiding over sceneStore, comparing every ordered pair of boxes.
void referenceHideCoveredFaces();
