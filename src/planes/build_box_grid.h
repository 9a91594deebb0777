#pragma once

#include "planes/box_grid.h"

#include <vector>

namespace roombox {

// Builds grid over boxes[k], numbered ids[k] (ids ascending; boxes and ids
// of equal size). The cell size follows the boxes: about the median size of
// the largest side of a box, enlarged where needed so that the grid has at
// most a few cells per box. Replaces whatever grid held.
void buildBoxGrid(const std::vector<GridBox>& boxes, const std::vector<int>& ids, BoxGrid& grid);

}  // namespace roombox
