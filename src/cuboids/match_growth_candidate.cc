#include "cuboids/match_growth_candidate.h"

namespace roombox {

namespace {

// The two-argument extremes used for widening. When the values compare equal
// (+0 and -0) they return the second argument, which decides the printed
// sign of a zero bound.
float maxOf(float a, float b) { return b < a ? a : b; }
float minOf(float a, float b) { return b > a ? a : b; }

// The range along in-plane axis `axis` of a plane whose normal lies on
// normalAxis.
AxisRange rangeAlong(const Plane& plane, int normalAxis, int axis) {
  if (axis == kUAxisOfNormal[normalAxis]) return AxisRange{plane.uMin, plane.uMax};
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
  if (q.type == static_cast<float>(growth.uAxis + 1)) {
    // Side face across U: the last match decides the range along V.
    if (matchSideFace(growth, q, qEquation, growth.uAxis, growth.vAxis, qFar, rebuilt)) {
      reachFarther(growth, qFar);
      growth.v = rebuilt;
    }
  } else if (q.type == static_cast<float>(growth.vAxis + 1)) {
    // Side face across V: the last match decides the range along U.
    if (matchSideFace(growth, q, qEquation, growth.vAxis, growth.uAxis, qFar, rebuilt)) {
      reachFarther(growth, qFar);
      growth.u = rebuilt;
    }
  } else if (q.type == static_cast<float>(growth.normalAxis + 1)) {
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

}  // namespace roombox
