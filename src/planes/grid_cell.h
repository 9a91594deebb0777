#pragma once

#include "planes/box_grid.h"

namespace roombox {

// The cell number along `axis` (0..2) of grid that holds coordinate value.
// Values below the grid (and -infinity) give 0, values beyond it (and
// +infinity) the last cell; the mapping never decreases as value grows.
// Precondition: value is not NaN; grid.cells[axis] >= 1.
int gridCell(const BoxGrid& grid, int axis, float value);

}  // namespace roombox
