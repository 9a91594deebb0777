#include "cuboids/seed_growth_direction.h"

namespace roombox {

bool seedGrowthDirection(const Plane& plane, const PlaneEquation& equation,
                         GrowthDirection& direction) {
  const float type = plane.type;
  if (type == 2.0f && equation.b == 1.0f) {
    direction = GrowthDirection::kTowardNegativeY;
  } else if (type == 2.0f && equation.b == -1.0f) {
    direction = GrowthDirection::kTowardPositiveY;
  } else if (type == 1.0f && equation.a == 1.0f) {
    direction = GrowthDirection::kTowardNegativeX;
  } else if (type == 1.0f && equation.a == -1.0f) {
    direction = GrowthDirection::kTowardPositiveX;
  } else if (type == 3.0f && equation.c == 1.0f) {
    direction = GrowthDirection::kTowardNegativeZ;
  } else if (type == 3.0f && equation.c == -1.0f) {
    direction = GrowthDirection::kTowardPositiveZ;
  } else {
    return false;
  }
  return true;
}

}  // namespace roombox
