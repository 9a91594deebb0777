#include "planes/grid_cell.h"

namespace roombox {

int gridCell(const BoxGrid& grid, int axis, float value) {
  // Compared before converting: out-of-range and infinite positions never
  // reach the integer conversion.
  const double position =
      (static_cast<double>(value) - grid.origin[axis]) * grid.cellsPerUnit[axis];
  if (!(position >= 0.0)) return 0;
  const int last = grid.cells[axis] - 1;
  if (position >= static_cast<double>(last)) return last;
  return static_cast<int>(position);
}

}  // namespace roombox
