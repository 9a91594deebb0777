#pragma once

#include "planes/box_grid.h"
#include "roombox/plane.h"

#include <vector>

namespace roombox {

// One step of plane range refinement: cuts plane p back by plane q, or
// switches it off. Only an active q of the same type as p at exactly the
// same position counts. When q covers p on both in-plane axes, p is switched
// off (active 0). When q covers p across the full
// width of one axis and overlaps one end of p on the other axis, p's range
// on that axis is cut back to q's near bound. A q lying strictly inside p
// changes nothing, so p is never split in two. Only p changes; q must be a
// different plane. Returns true when p was switched off, false otherwise.
bool refinePlaneAgainst(const Plane& q, Plane& p);

// Removes duplication among coplanar planes: for every plane, in index order,
// that is still active when its turn comes, runs refinePlaneRange. Changes
// planes in place.
void refinePlaneRanges(std::vector<Plane>& planes);

// Compares plane `index` (0 <= index < planes.size()) with every other active
// plane of the same type at exactly the same position, in index order, and
// changes only plane `index`: it is switched off (active 0) as soon as one of
// them covers it on both in-plane axes, and cut back on one axis where one of
// them covers it across the full width of the other axis and overlaps one end.
// A partner lying strictly inside it changes nothing, so a plane is never
// split in two. Cuts take effect for the rest of the scan. grid lists the
// planes that were active when it was built, by plane index, each with the
// box of (position, u range, v range) that holds its current ranges.
void refinePlaneRange(int index, const BoxGrid& grid, std::vector<Plane>& planes);

}  // namespace roombox
