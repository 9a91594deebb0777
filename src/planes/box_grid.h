#pragma once

#include "roombox/plane.h"

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

// Sets low and high to the smaller and the larger of a and b, so that the
// closed range low..high holds both; both are NaN when either is NaN. A
// grid box built from such ranges holds every point that a comparison with
// either bound can reach, even for a range whose bounds are the wrong way
// round.
void rangeBetween(float a, float b, float& low, float& high);

// The box that an object plane (type 1, 2 or 3) occupies in the room: its
// position on its normal axis (type - 1) and its u and v ranges on the
// in-plane axes (type 1: y, z; type 2: x, z; type 3: x, y). A range whose
// bounds are the wrong way round gives the box between them, so the box
// holds every point that a comparison with either bound can reach.
// Precondition: plane.type is 1, 2 or 3.
GridBox planeGridBox(const Plane& plane);

// Builds grid over boxes[k], numbered ids[k] (ids ascending; boxes and ids
// of equal size). The cell size follows the boxes: about the median size of
// the largest side of a box, enlarged where needed so that the grid has at
// most a few cells per box. Replaces whatever grid held.
void buildBoxGrid(const std::vector<GridBox>& boxes, const std::vector<int>& ids, BoxGrid& grid);

// Sets found to the numbers of the boxes in grid that may meet the closed box
// `box`, in ascending order without repeats: every box that meets it is
// among them (it shares a cell with it, or is listed everywhere); others may
// be too, so callers test each one. A query box with a NaN bound finds every
// box.
void queryBoxGrid(const BoxGrid& grid, const GridBox& box, std::vector<int>& found);

}  // namespace roombox
