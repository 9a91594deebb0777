#include "cuboids/grow_cuboid.h"

#include "driver/scene_store.h"
#include "planes/query_box_grid.h"
#include "planes/range_between.h"

#include <vector>

namespace {

// Axes are numbered x 0, y 1, z 2. An object plane with its normal on axis n
// has type n + 1 and its u and v ranges on these axes:
constexpr int kUAxisOfNormal[3] = {1, 0, 0};
constexpr int kVAxisOfNormal[3] = {2, 2, 1};

// The growth axis of each direction and whether it grows toward smaller
// coordinates, indexed by direction - 1.
struct DirectionAxis {
  int axis;
  bool negative;
};
constexpr DirectionAxis kDirectionAxes[6] = {{1, true},  {1, false}, {0, true},
                                             {0, false}, {2, true},  {2, false}};

// The two-argument extremes used for widening. When the values compare equal
// (+0 and -0) they return the second argument, which decides the printed
// sign of a zero bound.
float maxOf(float a, float b) { return b < a ? a : b; }
float minOf(float a, float b) { return b > a ? a : b; }

// A closed range along one axis.
struct Range {
  float low;
  float high;
};

// The range along in-plane axis `axis` of a plane whose normal lies on
// normalAxis.
Range rangeAlong(const Plane& plane, int normalAxis, int axis) {
  if (axis == kUAxisOfNormal[normalAxis]) return Range{plane.uMin, plane.uMax};
  return Range{plane.vMin, plane.vMax};
}

// The component of a plane normal along an axis.
float normalAlong(const PlaneEquation& equation, int axis) {
  if (axis == 0) return equation.a;
  if (axis == 1) return equation.b;
  return equation.c;
}

// Stores a range as the box bounds on an axis.
void setBounds(Cuboid& box, int axis, Range range) {
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

// The growth of one box from its seed plane.
struct Growth {
  const Plane& seed;
  int normalAxis;  // axis the box grows along
  bool negative;   // grows toward smaller coordinates
  float far;       // current far bound along normalAxis
};

// Tests whether plane q, whose normal lies on edgeAxis (one in-plane axis of
// the seed; otherAxis is the other one), is a side face of the growing box:
// it stands on the seed's edge across edgeAxis facing outward, its near end
// along the growth axis lies exactly on the seed, and it overlaps the seed
// strictly along otherAxis. Only the seed's own values take part, never the
// state of the growth. On a match, sets qFar to q's far end along the growth
// axis and `rebuilt` to the seed's own range along otherAxis joined with q's,
// and returns true.
bool matchSideFace(const Growth& g, const Plane& q, const PlaneEquation& qEquation, int edgeAxis,
                   int otherAxis, float& qFar, Range& rebuilt) {
  const Range seedEdge = rangeAlong(g.seed, g.normalAxis, edgeAxis);
  const float facing = normalAlong(qEquation, edgeAxis);
  const bool onEdge = (facing == -1.0f && q.position == seedEdge.low) ||
                      (facing == 1.0f && q.position == seedEdge.high);
  if (!onEdge) return false;

  const Range qDepth = rangeAlong(q, edgeAxis, g.normalAxis);
  const float qNear = g.negative ? qDepth.high : qDepth.low;
  if (qNear != g.seed.position) return false;

  const Range seedOther = rangeAlong(g.seed, g.normalAxis, otherAxis);
  const Range qOther = rangeAlong(q, edgeAxis, otherAxis);
  if (!(seedOther.high > qOther.low && qOther.high > seedOther.low)) return false;

  qFar = g.negative ? qDepth.low : qDepth.high;
  rebuilt = Range{minOf(seedOther.low, qOther.low), maxOf(seedOther.high, qOther.high)};
  return true;
}

// Moves the far bound out to `to` when that is farther.
void reachFarther(Growth& g, float to) {
  g.far = g.negative ? minOf(g.far, to) : maxOf(g.far, to);
}

// The box of the seed plane along the growth axis from near to `far`, over
// the seed's own in-plane ranges (taken between their bounds).
GridBox seedBox(const Growth& g, int u, int v, float far) {
  GridBox box;
  rangeBetween(g.seed.position, far, box.lo[g.normalAxis], box.hi[g.normalAxis]);
  rangeBetween(g.seed.uMin, g.seed.uMax, box.lo[u], box.hi[u]);
  rangeBetween(g.seed.vMin, g.seed.vMax, box.lo[v], box.hi[v]);
  return box;
}

}  // namespace

void growCuboid(int seed, GrowthDirection direction, const BoxGrid& grid) {
  const std::vector<Plane>& planes = sceneStore.planeSnapshot;
  const std::vector<PlaneEquation>& equations = sceneStore.equationSnapshot;
  const Plane& s = planes[seed];
  const DirectionAxis& along = kDirectionAxes[static_cast<int>(direction) - 1];
  const int n = along.axis;
  const int u = kUAxisOfNormal[n];
  const int v = kVAxisOfNormal[n];
  const float seedFacing = normalAlong(equations[seed], n);

  // The far bound starts 0.5 behind the seed; the sum is formed in double.
  const double start = along.negative ? static_cast<double>(s.position) - 0.5
                                      : static_cast<double>(s.position) + 0.5;
  Growth g{s, n, along.negative, static_cast<float>(start)};
  Range ru{s.uMin, s.uMax};
  Range rv{s.vMin, s.vMax};

  // Side faces touch the seed plane itself, so they are among the planes
  // whose boxes meet it. Whether one matches depends on the seed alone, so
  // the farthest that the far bound can ever reach is known before the scan:
  // side faces only move it out to their far ends, parallel faces only pull
  // it back toward the seed.
  std::vector<int> candidates;
  queryBoxGrid(grid, seedBox(g, u, v, s.position), candidates);
  float reach = g.far;
  for (const int j : candidates) {
    if (j <= seed) continue;
    const Plane& q = planes[j];
    const int edgeAxis = q.type == static_cast<float>(u + 1)   ? u
                         : q.type == static_cast<float>(v + 1) ? v
                                                               : -1;
    if (edgeAxis < 0) continue;
    float qFar = 0.0f;
    Range rebuilt{};
    if (matchSideFace(g, q, equations[j], edgeAxis, edgeAxis == u ? v : u, qFar, rebuilt)) {
      if (g.negative ? qFar < reach : qFar > reach) reach = qFar;
    }
  }

  // Every plane that can shape the box meets the seed's box out to that
  // reach; they are examined in index order, as the plane list orders them.
  queryBoxGrid(grid, seedBox(g, u, v, reach), candidates);
  for (const int j : candidates) {
    if (j <= seed) continue;
    const Plane& q = planes[j];
    const PlaneEquation& qEquation = equations[j];
    float qFar = 0.0f;
    Range rebuilt{};
    if (q.type == static_cast<float>(u + 1)) {
      // Side face across U: the last match decides the range along V.
      if (matchSideFace(g, q, qEquation, u, v, qFar, rebuilt)) {
        reachFarther(g, qFar);
        rv = rebuilt;
      }
    } else if (q.type == static_cast<float>(v + 1)) {
      // Side face across V: the last match decides the range along U.
      if (matchSideFace(g, q, qEquation, v, u, qFar, rebuilt)) {
        reachFarther(g, qFar);
        ru = rebuilt;
      }
    } else if (q.type == static_cast<float>(n + 1)) {
      // Parallel face strictly inside the box: cuts the depth; one facing
      // the other way than the seed also widens the box to its extent.
      const bool overlaps =
          s.uMax > q.uMin && q.uMax > s.uMin && s.vMax > q.vMin && q.vMax > s.vMin;
      const bool inside = g.negative ? g.far < q.position && q.position < s.position
                                     : s.position < q.position && q.position < g.far;
      if (overlaps && inside) {
        g.far = q.position;
        if (normalAlong(qEquation, n) != seedFacing) {
          ru = Range{minOf(ru.low, q.uMin), maxOf(ru.high, q.uMax)};
          rv = Range{minOf(rv.low, q.vMin), maxOf(rv.high, q.vMax)};
        }
      }
    }
  }

  Cuboid box{};
  box.kind = 1.0f;
  setBounds(box, n, g.negative ? Range{g.far, s.position} : Range{s.position, g.far});
  setBounds(box, u, ru);
  setBounds(box, v, rv);
  box.category = s.category;
  box.material = s.material;

  std::vector<Cuboid>& cuboids = sceneStore.cuboids;
  const int slot = sceneStore.cuboidCount;
  if (static_cast<int>(cuboids.size()) <= slot) cuboids.resize(slot + 1);
  cuboids[slot] = box;
  sceneStore.cuboidCount = slot + 1;
}
