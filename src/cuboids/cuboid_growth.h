#pragma once

#pragma once

#include "roombox/cuboid.h"
#include "roombox/plane.h"

#include <vector>

namespace roombox {

// Directions in which a box grows from its seed plane, one per seed kind: a
// seed whose normal component along its axis is +1 grows toward the negative
// side of that axis, one with -1 toward the positive side.
enum class GrowthDirection {
  kTowardNegativeY = 1,  // type 2 seed, b = 1
  kTowardPositiveY = 2,  // type 2 seed, b = -1
  kTowardNegativeX = 3,  // type 1 seed, a = 1
  kTowardPositiveX = 4,  // type 1 seed, a = -1
  kTowardNegativeZ = 5,  // type 3 seed, c = 1
  kTowardPositiveZ = 6,  // type 3 seed, c = -1
};

// Axes are numbered x 0, y 1, z 2; an object plane with its normal on axis n
// has its u and v ranges on planeUAxis(n) and planeVAxis(n)
// (common/plane_types.h).

// A closed range along one axis.
struct AxisRange {
  float low;
  float high;
};

// One box while it grows from its seed plane: the seed itself, the axes, and
// the bounds reached so far. The near bound along normalAxis is always the
// seed's position.
struct CuboidGrowth {
  Plane seed;        // the seed plane, as the plane list holds it
  float seedFacing;  // the seed normal's component along normalAxis
  int normalAxis;    // axis the box grows along
  int uAxis;         // the seed's in-plane axes
  int vAxis;
  bool negative;  // grows toward smaller coordinates
  float far;      // current far bound along normalAxis
  AxisRange u;    // current bounds along uAxis
  AxisRange v;    // current bounds along vAxis
};

// Tells whether plane (with its equation) seeds a box, and which way the box
// grows: an object plane of type 1, 2 or 3 whose normal component along its
// own axis is exactly +1 or -1 does, whether active or not. On a seed, sets
// direction and returns true; otherwise returns false and leaves direction
// as it is.
bool seedGrowthDirection(const Plane& plane, const PlaneEquation& equation,
                         GrowthDirection& direction);

// The growth of a box from seed plane `seed` (an object plane of type 1, 2
// or 3 matching `direction`, whose equation is seedEquation) before any
// other plane shapes it: the far bound lies 0.5 away from the seed's position
// in `direction`, and the box spans the seed's own in-plane ranges.
CuboidGrowth startCuboidGrowth(const Plane& seed, const PlaneEquation& seedEquation,
                               GrowthDirection direction);

// Lets plane q (equation qEquation), a plane after the seed in the plane
// list, reshape the growing box. A side face, whose normal lies on one of
// the seed's in-plane axes, matches when it stands on the seed's edge across
// that axis facing outward, its near end along the growth axis lies exactly
// on the seed, and it overlaps the seed strictly along the other in-plane
// axis: the far bound moves out to q's far end when that is farther, and the
// range along the other axis becomes the seed's own range there joined with
// q's (so the last match decides it). A parallel face, whose normal lies on
// the growth axis, overlapping the seed strictly on both in-plane axes and
// lying strictly between the seed and the far bound, cuts the far bound to
// its position; when it faces the other way than the seed it also widens
// both in-plane ranges to its extent. Any other plane changes nothing.
// Whether a side face matches depends on the seed alone, never on the state
// of the growth.
void matchGrowthCandidate(const Plane& q, const PlaneEquation& qEquation, CuboidGrowth& growth);

// Grows one box from every object plane whose normal lies exactly along its
// own axis (type 1, 2 or 3 with a normal component of exactly +1 or -1),
// in plane-list order, active or not, and returns the boxes in that order.
// equations holds one equation per plane.
std::vector<Cuboid> reconstructCuboids(const std::vector<Plane>& planes,
                                       const std::vector<PlaneEquation>& equations);

}  // namespace roombox
