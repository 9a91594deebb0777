#pragma once

#include "planes/box_grid.h"

#include <vector>

namespace roombox {

// Sets found to the numbers of the boxes in grid that may meet the closed box
// `box`, in ascending order without repeats: every box that meets it is
// among them (it shares a cell with it, or is listed everywhere); others may
// be too, so callers test each one. A query box with a NaN bound finds every
// box.
void queryBoxGrid(const BoxGrid& grid, const GridBox& box, std::vector<int>& found);

}  // namespace roombox
