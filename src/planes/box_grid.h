#pragma once

#include <vector>

namespace roombox {

// A closed axis-aligned box in scene coordinates: lo[a] <= hi[a] on every
// axis a (x 0, y 1, z 2), unless a bound is NaN.
struct GridBox {
  float lo[3];
  float hi[3];
};

// A uniform grid over a set of numbered boxes, for finding the boxes that may
// meet a query box without comparing it with every box. Each box is listed
// in every cell it overlaps (cells are numbered x fastest); a box that would
// overlap too many cells, or has a NaN bound, is listed in `everywhere` and
// found by every query instead. Positions outside the grid fall into its
// border cells, so any two boxes that meet share a cell.
struct BoxGrid {
  double origin[3] = {0.0, 0.0, 0.0};
  double cellsPerUnit[3] = {0.0, 0.0, 0.0};
  int cells[3] = {0, 0, 0};
  std::vector<int> cellStart;  // entries of cell c: cellStart[c] .. cellStart[c + 1] - 1
  std::vector<int> entries;    // box numbers, in ascending order within a cell
  std::vector<int> everywhere;
  std::vector<int> all;  // every box number, ascending
};

}  // namespace roombox
