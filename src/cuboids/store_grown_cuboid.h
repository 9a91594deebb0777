#pragma once

#include "cuboids/cuboid_growth.h"

// Appends the box that `growth` has reached at slot cuboidCount of cuboids,
// growing the container when needed, then adds 1 to cuboidCount. The box
// reaches from the seed's position to the far bound along the growth axis
// and over the grown ranges on the other two; its kind is 1, its category
// and material are the seed's.
void storeGrownCuboid(const CuboidGrowth& growth);
