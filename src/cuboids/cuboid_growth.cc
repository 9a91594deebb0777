#include "cuboids/cuboid_growth.h"

#include "common/plane_types.h"
#include "planes/box_grid.h"

#include <algorithm>
#include <vector>

namespace roombox {

bool seedGrowthDirection(const Plane& plane, const PlaneEquation& equation,
                         GrowthDirection& direction) {
  const int axis = objectFaceAxis(plane.type);
  if (axis == 1 && equation.b == 1.0f) {
    direction = GrowthDirection::kTowardNegativeY;
  } else if (axis == 1 && equation.b == -1.0f) {
    direction = GrowthDirection::kTowardPositiveY;
  } else if (axis == 0 && equation.a == 1.0f) {
    direction = GrowthDirection::kTowardNegativeX;
  } else if (axis == 0 && equation.a == -1.0f) {
    direction = GrowthDirection::kTowardPositiveX;
  } else if (axis == 2 && equation.c == 1.0f) {
    direction = GrowthDirection::kTowardNegativeZ;
  } else if (axis == 2 && equation.c == -1.0f) {
    direction = GrowthDirection::kTowardPositiveZ;
  } else {
    return false;
  }
  return true;
}

namespace {

// The growth axis of each direction and whether it grows toward smaller
// coordinates, indexed by direction - 1.
struct DirectionAxis {
  int axis;
  bool negative;
};
constexpr DirectionAxis kDirectionAxes[6] = {{1, true},  {1, false}, {0, true},
                                             {0, false}, {2, true},  {2, false}};

}  // namespace

CuboidGrowth startCuboidGrowth(const Plane& seed, const PlaneEquation& seedEquation,
                               GrowthDirection direction) {
  const DirectionAxis& along = kDirectionAxes[static_cast<int>(direction) - 1];
  const int n = along.axis;
  const float normal[3] = {seedEquation.a, seedEquation.b, seedEquation.c};

  // The far bound starts 0.5 behind the seed; the sum is formed in double.
  const double start = along.negative ? static_cast<double>(seed.position) - 0.5
                                      : static_cast<double>(seed.position) + 0.5;
  CuboidGrowth growth;
  growth.seed = seed;
  growth.seedFacing = normal[n];
  growth.normalAxis = n;
  growth.uAxis = planeUAxis(n);
  growth.vAxis = planeVAxis(n);
  growth.negative = along.negative;
  growth.far = static_cast<float>(start);
  growth.u = AxisRange{seed.uMin, seed.uMax};
  growth.v = AxisRange{seed.vMin, seed.vMax};
  return growth;
}

namespace {

// The two-argument extremes used for widening. When the values compare equal
// (+0 and -0) they return the second argument, which decides the printed
// sign of a zero bound.
float maxOf(float a, float b) { return b < a ? a : b; }
float minOf(float a, float b) { return b > a ? a : b; }

// The range along in-plane axis `axis` of a plane whose normal lies on
// normalAxis.
AxisRange rangeAlong(const Plane& plane, int normalAxis, int axis) {
  if (axis == planeUAxis(normalAxis)) return AxisRange{plane.uMin, plane.uMax};
  return AxisRange{plane.vMin, plane.vMax};
}

// The component of a plane normal along an axis.
float normalAlong(const PlaneEquation& equation, int axis) {
  if (axis == 0) return equation.a;
  if (axis == 1) return equation.b;
  return equation.c;
}

// Tests whether plane q, whose normal lies on edgeAxis (one in-plane axis of
// the seed; otherAxis is the other one), is a side face of the growing box:
// it stands on the seed's edge across edgeAxis facing outward, its near end
// along the growth axis lies exactly on the seed, and it overlaps the seed
// strictly along otherAxis. Only the seed's own values take part, never the
// state of the growth. On a match, sets qFar to q's far end along the growth
// axis and `rebuilt` to the seed's own range along otherAxis joined with q's,
// and returns true.
bool matchSideFace(const CuboidGrowth& g, const Plane& q, const PlaneEquation& qEquation,
                   int edgeAxis, int otherAxis, float& qFar, AxisRange& rebuilt) {
  const AxisRange seedEdge = rangeAlong(g.seed, g.normalAxis, edgeAxis);
  const float facing = normalAlong(qEquation, edgeAxis);
  const bool onEdge = (facing == -1.0f && q.position == seedEdge.low) ||
                      (facing == 1.0f && q.position == seedEdge.high);
  if (!onEdge) return false;

  const AxisRange qDepth = rangeAlong(q, edgeAxis, g.normalAxis);
  const float qNear = g.negative ? qDepth.high : qDepth.low;
  if (qNear != g.seed.position) return false;

  const AxisRange seedOther = rangeAlong(g.seed, g.normalAxis, otherAxis);
  const AxisRange qOther = rangeAlong(q, edgeAxis, otherAxis);
  if (!(seedOther.high > qOther.low && qOther.high > seedOther.low)) return false;

  qFar = g.negative ? qDepth.low : qDepth.high;
  rebuilt = AxisRange{minOf(seedOther.low, qOther.low), maxOf(seedOther.high, qOther.high)};
  return true;
}

// Moves the far bound out to `to` when that is farther.
void reachFarther(CuboidGrowth& g, float to) {
  g.far = g.negative ? minOf(g.far, to) : maxOf(g.far, to);
}

}  // namespace

void matchGrowthCandidate(const Plane& q, const PlaneEquation& qEquation, CuboidGrowth& growth) {
  const Plane& s = growth.seed;
  float qFar = 0.0f;
  AxisRange rebuilt{};
  if (isObjectFaceAlong(q.type, growth.uAxis)) {
    // Side face across U: the last match decides the range along V.
    if (matchSideFace(growth, q, qEquation, growth.uAxis, growth.vAxis, qFar, rebuilt)) {
      reachFarther(growth, qFar);
      growth.v = rebuilt;
    }
  } else if (isObjectFaceAlong(q.type, growth.vAxis)) {
    // Side face across V: the last match decides the range along U.
    if (matchSideFace(growth, q, qEquation, growth.vAxis, growth.uAxis, qFar, rebuilt)) {
      reachFarther(growth, qFar);
      growth.u = rebuilt;
    }
  } else if (isObjectFaceAlong(q.type, growth.normalAxis)) {
    // Parallel face strictly inside the box: cuts the depth; one facing
    // the other way than the seed also widens the box to its extent.
    const bool overlaps = s.uMax > q.uMin && q.uMax > s.uMin && s.vMax > q.vMin && q.vMax > s.vMin;
    const bool inside = growth.negative ? growth.far < q.position && q.position < s.position
                                        : s.position < q.position && q.position < growth.far;
    if (overlaps && inside) {
      growth.far = q.position;
      if (normalAlong(qEquation, growth.normalAxis) != growth.seedFacing) {
        growth.u = AxisRange{minOf(growth.u.low, q.uMin), maxOf(growth.u.high, q.uMax)};
        growth.v = AxisRange{minOf(growth.v.low, q.vMin), maxOf(growth.v.high, q.vMax)};
      }
    }
  }
}

namespace {

// Stores a range as the box bounds on an axis.
void setBounds(Cuboid& box, int axis, AxisRange range) {
  if (axis == 0) {
    box.minX = range.low;
    box.maxX = range.high;
  } else if (axis == 1) {
    box.minY = range.low;
    box.maxY = range.high;
  } else {
    box.minZ = range.low;
    box.maxZ = range.high;
  }
}

// The box that `growth` has reached: from the seed's position to the far
// bound along the growth axis and over the grown ranges on the other two;
// kind 1, category and material of the seed.
Cuboid grownCuboid(const CuboidGrowth& growth) {
  const Plane& s = growth.seed;
  Cuboid box{};
  box.kind = 1.0f;
  const AxisRange depth =
      growth.negative ? AxisRange{growth.far, s.position} : AxisRange{s.position, growth.far};
  setBounds(box, growth.normalAxis, depth);
  setBounds(box, growth.uAxis, growth.u);
  setBounds(box, growth.vAxis, growth.v);
  box.category = s.category;
  box.material = s.material;
  return box;
}

// The box of the seed plane along the growth axis from near to `far`, over
// the seed's own in-plane ranges (taken between their bounds).
GridBox seedBox(const CuboidGrowth& growth, float far) {
  const Plane& s = growth.seed;
  GridBox box;
  rangeBetween(s.position, far, box.lo[growth.normalAxis], box.hi[growth.normalAxis]);
  rangeBetween(s.uMin, s.uMax, box.lo[growth.uAxis], box.hi[growth.uAxis]);
  rangeBetween(s.vMin, s.vMax, box.lo[growth.vAxis], box.hi[growth.vAxis]);
  return box;
}

// Grows one box from seed plane `seed` (0 <= seed < planes.size(), an
// object plane of type 1, 2 or 3 matching `direction`) and returns it. The
// box reaches from the seed's position 0.5 away in `direction` over the
// seed's in-plane ranges. Later planes in the list (index above seed)
// reshape it through matchGrowthCandidate, in index order, each seeing the
// changes of the ones before it; the box has kind 1 and the seed's category
// and material. grid lists the type 1, 2 and 3 planes by plane index, with
// their boxes (planeGridBox). equations holds one equation per plane.
Cuboid growCuboid(int seed, GrowthDirection direction, const BoxGrid& grid,
                  const std::vector<Plane>& planes, const std::vector<PlaneEquation>& equations) {
  const CuboidGrowth start = startCuboidGrowth(planes[seed], equations[seed], direction);
  const Plane& s = start.seed;

  // Side faces touch the seed plane itself, so they are among the planes
  // whose boxes meet it. Whether one matches depends on the seed alone, so
  // the farthest that the far bound can ever reach is known before the scan:
  // side faces only move it out to their far ends, parallel faces only pull
  // it back toward the seed. Each candidate alone, on the starting box, shows
  // how far it would move the bound out.
  std::vector<int> candidates;
  queryBoxGrid(grid, seedBox(start, s.position), candidates);
  float reach = start.far;
  for (const int j : candidates) {
    if (j <= seed) continue;
    CuboidGrowth alone = start;
    matchGrowthCandidate(planes[j], equations[j], alone);
    if (start.negative ? alone.far < reach : alone.far > reach) reach = alone.far;
  }

  // Every plane that can shape the box meets the seed's box out to that
  // reach; they are examined in index order, as the plane list orders them.
  queryBoxGrid(grid, seedBox(start, reach), candidates);
  CuboidGrowth growth = start;
  for (const int j : candidates) {
    if (j > seed) matchGrowthCandidate(planes[j], equations[j], growth);
  }
  return grownCuboid(growth);
}

}  // namespace

std::vector<Cuboid> reconstructCuboids(const std::vector<Plane>& planes,
                                       const std::vector<PlaneEquation>& equations) {
  const int count = static_cast<int>(std::min(planes.size(), equations.size()));

  // Only object planes shape a box; the grid finds those near each seed.
  std::vector<GridBox> boxes;
  std::vector<int> ids;
  for (int i = 0; i < count; ++i) {
    if (!isObjectFace(planes[i].type)) continue;
    boxes.push_back(planeGridBox(planes[i]));
    ids.push_back(i);
  }
  BoxGrid grid;
  buildBoxGrid(boxes, ids, grid);

  std::vector<Cuboid> cuboids;
  for (int i = 0; i < count; ++i) {
    GrowthDirection direction{};
    if (seedGrowthDirection(planes[i], equations[i], direction)) {
      cuboids.push_back(growCuboid(i, direction, grid, planes, equations));
    }
  }
  return cuboids;
}

}  // namespace roombox
