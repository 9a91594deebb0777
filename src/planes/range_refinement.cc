#include "planes/range_refinement.h"

#include "common/plane_types.h"

namespace roombox {

bool refinePlaneAgainst(const Plane& q, Plane& p) {
  if (q.active == 0.0f || !sameType(q.type, p.type) || q.position != p.position) return false;

  const bool spansU = q.uMin <= p.uMin && q.uMax >= p.uMax;
  const bool spansV = q.vMin <= p.vMin && q.vMax >= p.vMax;
  if (spansU) {
    if (spansV) {
      p.active = 0.0f;
      return true;
    }
    // q covers the upper v part of p: keep the part below q.
    if (q.vMin > p.vMin && q.vMin < p.vMax && q.vMax >= p.vMax) p.vMax = q.vMin;
    // q covers the lower v part of p: keep the part above q.
    if (q.vMin < p.vMin && q.vMax > p.vMin && q.vMax < p.vMax) p.vMin = q.vMax;
  } else if (spansV) {
    if (q.uMin > p.uMin && q.uMin < p.uMax && q.uMax >= p.uMax) p.uMax = q.uMin;
    if (q.uMin < p.uMin && q.uMax > p.uMin && q.uMax < p.uMax) p.uMin = q.uMax;
  }
  return false;
}

namespace {

// The box of a plane in the space of (position, u, v), whatever its type:
// two planes of the same type at the same position can only affect each
// other when these boxes meet.
GridBox refinementBox(const Plane& plane) {
  GridBox box;
  box.lo[0] = box.hi[0] = plane.position;
  rangeBetween(plane.uMin, plane.uMax, box.lo[1], box.hi[1]);
  rangeBetween(plane.vMin, plane.vMax, box.lo[2], box.hi[2]);
  return box;
}

}  // namespace

void refinePlaneRange(int index, const BoxGrid& grid, std::vector<Plane>& planes) {
  Plane& p = planes[index];

  // Every partner that cuts p or switches it off overlaps it, so the grid's
  // candidates, in index order, are all the scan needs to look at.
  std::vector<int> candidates;
  queryBoxGrid(grid, refinementBox(p), candidates);
  for (const int j : candidates) {
    if (j != index && refinePlaneAgainst(planes[j], p)) return;
  }
}

void refinePlaneRanges(std::vector<Plane>& planes) {
  // Refinement only cuts planes back and switches them off, so boxes taken
  // now hold every plane for the whole stage; planes already off never
  // count.
  const int count = static_cast<int>(planes.size());
  std::vector<GridBox> boxes;
  std::vector<int> ids;
  for (int i = 0; i < count; ++i) {
    if (planes[i].active == 0.0f) continue;
    boxes.push_back(refinementBox(planes[i]));
    ids.push_back(i);
  }
  BoxGrid grid;
  buildBoxGrid(boxes, ids, grid);

  for (int i = 0; i < count; ++i) {
    if (planes[i].active != 0.0f) refinePlaneRange(i, grid, planes);
  }
}

}  // namespace roombox
