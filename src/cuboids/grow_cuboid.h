#pragma once

#include "cuboids/cuboid_growth.h"
#include "planes/box_grid.h"

// Grows one box from seed plane `seed` (0 <= seed < planeCount, an object
// plane of type 1, 2 or 3 matching `direction`) and appends it at slot
// cuboidCount of cuboids, growing the container when needed, then adds 1 to
// cuboidCount. The box reaches from the seed's position 0.5 away in
// `direction` over the seed's in-plane ranges. Later planes in the list (index
// above seed) reshape it: a side face standing on the seed's edge and facing
// outward deepens it to its own far end and widens the box along its own
// extent; a parallel face inside the box cuts the depth to its position and,
// when it faces the other way than the seed, widens the box to its extent.
// Later planes are examined in index order, each seeing the changes of the
// ones before it. grid lists the type 1, 2 and 3 planes of planeSnapshot by
// plane index, with their boxes (planeGridBox).
// Reads planeSnapshot and equationSnapshot, which must hold planeCount records.
void growCuboid(int seed, GrowthDirection direction, const BoxGrid& grid);
