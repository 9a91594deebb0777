#pragma once

#include "planes/box_grid.h"
#include "roombox/plane.h"

#include <vector>

namespace roombox {

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
