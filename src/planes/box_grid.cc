#include "planes/box_grid.h"

#include "common/plane_types.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace roombox {

void rangeBetween(float a, float b, float& low, float& high) {
  if (a <= b) {
    low = a;
    high = b;
  } else if (b < a) {
    low = b;
    high = a;
  } else {
    low = high = NAN;
  }
}

GridBox planeGridBox(const Plane& plane) {
  // In-plane axes of each normal axis: x -> (y, z), y -> (x, z), z -> (x, y).
  const int axis = objectFaceAxis(plane.type);
  const int normal = axis >= 0 ? axis : 2;
  const int u = planeUAxis(normal);
  const int v = planeVAxis(normal);
  GridBox box;
  box.lo[normal] = box.hi[normal] = plane.position;
  rangeBetween(plane.uMin, plane.uMax, box.lo[u], box.hi[u]);
  rangeBetween(plane.vMin, plane.vMax, box.lo[v], box.hi[v]);
  return box;
}

namespace {

// A box overlapping more cells than this is listed everywhere instead.
constexpr long long kMaxCellsPerBox = 64;
// The grid has at most this many cells per box (plus a few).
constexpr long long kCellsPerBox = 4;
// Cells along one axis, at most.
constexpr int kMaxCellsPerAxis = 1 << 20;

// The cell number along `axis` (0..2) of grid that holds coordinate value.
// Values below the grid (and -infinity) give 0, values beyond it (and
// +infinity) the last cell; the mapping never decreases as value grows.
// Precondition: value is not NaN; grid.cells[axis] >= 1.
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

bool hasNaN(const GridBox& box) {
  for (int a = 0; a < 3; ++a) {
    if (std::isnan(box.lo[a]) || std::isnan(box.hi[a])) return true;
  }
  return false;
}

// Cells along each axis for cells of side `side` over the given extents.
long long cellCounts(const double extent[3], double side, int counts[3]) {
  long long total = 1;
  for (int a = 0; a < 3; ++a) {
    const double wanted = std::floor(extent[a] / side) + 1.0;
    counts[a] = wanted >= kMaxCellsPerAxis ? kMaxCellsPerAxis : static_cast<int>(wanted);
    total *= counts[a];
  }
  return total;
}

}  // namespace

void buildBoxGrid(const std::vector<GridBox>& boxes, const std::vector<int>& ids, BoxGrid& grid) {
  grid = BoxGrid{};
  const std::size_t count = std::min(boxes.size(), ids.size());
  grid.all.assign(ids.begin(), ids.begin() + static_cast<std::ptrdiff_t>(count));

  // The finite part of the space the boxes take, and the largest side of
  // every box with finite bounds.
  double low[3] = {INFINITY, INFINITY, INFINITY};
  double high[3] = {-INFINITY, -INFINITY, -INFINITY};
  std::vector<double> sides;
  sides.reserve(count);
  for (std::size_t k = 0; k < count; ++k) {
    const GridBox& box = boxes[k];
    if (hasNaN(box)) continue;
    double side = 0.0;
    bool finite = true;
    for (int a = 0; a < 3; ++a) {
      for (const float value : {box.lo[a], box.hi[a]}) {
        if (!std::isfinite(value)) {
          finite = false;
          continue;
        }
        low[a] = std::min(low[a], static_cast<double>(value));
        high[a] = std::max(high[a], static_cast<double>(value));
      }
      side = std::max(side, static_cast<double>(box.hi[a]) - static_cast<double>(box.lo[a]));
    }
    if (finite && side > 0.0) sides.push_back(side);
  }
  double extent[3];
  double widest = 0.0;
  for (int a = 0; a < 3; ++a) {
    if (!(low[a] <= high[a])) low[a] = high[a] = 0.0;
    grid.origin[a] = low[a];
    extent[a] = high[a] - low[a];
    widest = std::max(widest, extent[a]);
  }

  // Cells about as large as a typical box, fewer where there would be too
  // many for the number of boxes.
  double side = 1.0;
  if (!sides.empty()) {
    std::nth_element(sides.begin(), sides.begin() + sides.size() / 2, sides.end());
    side = sides[sides.size() / 2];
  } else if (widest > 0.0) {
    side = widest;
  }
  if (!(side > 0.0) || !std::isfinite(side)) side = 1.0;
  const long long budget = kCellsPerBox * static_cast<long long>(count) + 64;
  while (cellCounts(extent, side, grid.cells) > budget) side *= 1.25;
  for (int a = 0; a < 3; ++a) grid.cellsPerUnit[a] = 1.0 / side;

  // Two passes over the boxes: count the entries of every cell, then place
  // them, so that every cell's entries follow one another.
  const long long cellTotal = static_cast<long long>(grid.cells[0]) * grid.cells[1] * grid.cells[2];
  grid.cellStart.assign(static_cast<std::size_t>(cellTotal) + 1, 0);
  std::vector<int> first(count * 3);
  std::vector<int> last(count * 3);
  std::vector<char> listed(count, 0);
  for (std::size_t k = 0; k < count; ++k) {
    const GridBox& box = boxes[k];
    if (hasNaN(box)) {
      grid.everywhere.push_back(ids[k]);
      continue;
    }
    long long overlapped = 1;
    for (int a = 0; a < 3; ++a) {
      first[3 * k + a] = gridCell(grid, a, box.lo[a]);
      last[3 * k + a] = gridCell(grid, a, box.hi[a]);
      overlapped *= last[3 * k + a] - first[3 * k + a] + 1;
    }
    if (overlapped > kMaxCellsPerBox) {
      grid.everywhere.push_back(ids[k]);
      continue;
    }
    listed[k] = 1;
    for (int z = first[3 * k + 2]; z <= last[3 * k + 2]; ++z) {
      for (int y = first[3 * k + 1]; y <= last[3 * k + 1]; ++y) {
        for (int x = first[3 * k]; x <= last[3 * k]; ++x) {
          const long long cell =
              (static_cast<long long>(z) * grid.cells[1] + y) * grid.cells[0] + x;
          ++grid.cellStart[static_cast<std::size_t>(cell) + 1];
        }
      }
    }
  }
  for (long long c = 0; c < cellTotal; ++c) {
    grid.cellStart[static_cast<std::size_t>(c) + 1] += grid.cellStart[static_cast<std::size_t>(c)];
  }
  grid.entries.resize(static_cast<std::size_t>(grid.cellStart.back()));
  std::vector<int> next(grid.cellStart.begin(), grid.cellStart.end() - 1);
  for (std::size_t k = 0; k < count; ++k) {
    if (!listed[k]) continue;
    for (int z = first[3 * k + 2]; z <= last[3 * k + 2]; ++z) {
      for (int y = first[3 * k + 1]; y <= last[3 * k + 1]; ++y) {
        for (int x = first[3 * k]; x <= last[3 * k]; ++x) {
          const long long cell =
              (static_cast<long long>(z) * grid.cells[1] + y) * grid.cells[0] + x;
          grid.entries[static_cast<std::size_t>(next[static_cast<std::size_t>(cell)]++)] = ids[k];
        }
      }
    }
  }
}

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
