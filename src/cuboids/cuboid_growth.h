#pragma once

#include "roombox/plane.h"

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

// Axes are numbered x 0, y 1, z 2. An object plane with its normal on axis n
// has type n + 1 and its u and v ranges on these axes:
constexpr int kUAxisOfNormal[3] = {1, 0, 0};
constexpr int kVAxisOfNormal[3] = {2, 2, 1};

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

}  // namespace roombox
