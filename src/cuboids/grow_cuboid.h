#pragma once

#include "planes/box_grid.h"

// Directions in which a box grows from its seed plane, one per seed kind: a
// seed whose normal component along its axis is +1 grows toward the negative
// side of that axis, one with -1 toward the positive side.
enum class GrowthDirection {
  kTowardNegativeY = 1,  // type 2 seed, b = 1
  kTowardPositiveY = 2,  // type 2 seed, b = -1
  kTowardNegativeX = 3,  // type 1 seed, a = 1
  kTowardPositiveX = 4,  // type 1 seed, a = -1
  kTowardNegativeZ = 5,  // type 3 seed, c = 1
  kTowardPositiveZ = 6,  // type 3 seed, c = -1
};

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
