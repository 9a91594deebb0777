#pragma once

#include "cuboids/cuboid_growth.h"
#include "planes/box_grid.h"
#include "roombox/cuboid.h"
#include "roombox/plane.h"

#include <vector>

namespace roombox {

// Grows one box from seed plane `seed` (0 <= seed < planes.size(), an
// object plane of type 1, 2 or 3 matching `direction`) and returns it. The
// box reaches from the seed's position 0.5 away in
// `direction` over the seed's in-plane ranges. Later planes in the list (index
// above seed) reshape it: a side face standing on the seed's edge and facing
// outward deepens it to its own far end and widens the box along its own
// extent; a parallel face inside the box cuts the depth to its position and,
// when it faces the other way than the seed, widens the box to its extent.
// Later planes are examined in index order, each seeing the changes of the
// ones before it; the box has kind 1 and the seed's category and material.
// grid lists the type 1, 2 and 3 planes by plane index, with their boxes
// (planeGridBox). equations holds one equation per plane.
Cuboid growCuboid(int seed, GrowthDirection direction, const BoxGrid& grid,
                  const std::vector<Plane>& planes, const std::vector<PlaneEquation>& equations);

}  // namespace roombox
