#include "cuboids/start_cuboid_growth.h"

namespace roombox {

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
  growth.uAxis = kUAxisOfNormal[n];
  growth.vAxis = kVAxisOfNormal[n];
  growth.negative = along.negative;
  growth.far = static_cast<float>(start);
  growth.u = AxisRange{seed.uMin, seed.uMax};
  growth.v = AxisRange{seed.vMin, seed.vMax};
  return growth;
}

}  // namespace roombox
