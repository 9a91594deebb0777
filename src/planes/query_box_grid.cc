#include "planes/query_box_grid.h"

#include "planes/grid_cell.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace roombox {

void queryBoxGrid(const BoxGrid& grid, const GridBox& box, std::vector<int>& found) {
  found.clear();
  for (int a = 0; a < 3; ++a) {
    if (std::isnan(box.lo[a]) || std::isnan(box.hi[a])) {
      found = grid.all;
      return;
    }
  }
  if (grid.cells[0] < 1 || grid.cells[1] < 1 || grid.cells[2] < 1) {
    found = grid.all;
    return;
  }
  int first[3];
  int last[3];
  for (int a = 0; a < 3; ++a) {
    first[a] = gridCell(grid, a, box.lo[a]);
    last[a] = gridCell(grid, a, box.hi[a]);
  }
  found = grid.everywhere;
  // Past this many entries (repeats included) handing back every box, which
  // is already in order, costs the caller little more than sorting them.
  const std::size_t enough = grid.all.size() / 2 + 16;
  if (found.size() > enough) {
    found = grid.all;
    return;
  }
  for (int z = first[2]; z <= last[2]; ++z) {
    for (int y = first[1]; y <= last[1]; ++y) {
      const long long row = (static_cast<long long>(z) * grid.cells[1] + y) * grid.cells[0];
      const int begin = grid.cellStart[static_cast<std::size_t>(row + first[0])];
      const int end = grid.cellStart[static_cast<std::size_t>(row + last[0]) + 1];
      found.insert(found.end(), grid.entries.begin() + begin, grid.entries.begin() + end);
      if (found.size() > enough) {
        found = grid.all;
        return;
      }
    }
  }
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());
}

}  // namespace roombox
