#include "planes/room_boundary.h"

#include "common/plane_types.h"

namespace roombox {

namespace {

// Lowers bound to value when value is smaller.
void lowerTo(float& bound, float value) {
  if (value < bound) bound = value;
}

// Raises bound to value when value is larger.
void raiseTo(float& bound, float value) {
  if (value > bound) bound = value;
}

}  // namespace

RoomBox computeRoomBoundary(const std::vector<Plane>& planes) {
  const int count = static_cast<int>(planes.size());
  RoomBox room;
  float* roomMin = room.roomMin;
  float* roomMax = room.roomMax;
  bool minFound[3] = {false, false, false};
  bool maxFound[3] = {false, false, false};

  // Direct bounds: the wall, floor and ceiling positions on their normal axes.
  for (int i = 0; i < count; ++i) {
    const Plane& plane = planes[i];
    const int axis = roomSurfaceAxis(plane.type);
    if (axis < 0) continue;
    if (plane.position < 0) {
      lowerTo(roomMin[axis], plane.position);
      minFound[axis] = true;
    } else {
      raiseTo(roomMax[axis], plane.position);
      maxFound[axis] = true;
    }
  }

  // Fallbacks: the extents of the other room surfaces along a missing side
  // (x is the u axis of types 9 and 8; y the u axis of type 7 and the v axis
  // of type 8; z the v axis of types 7 and 9), in plane order.
  for (int side = 0; side < 3; ++side) {
    for (const bool low : {true, false}) {
      if (low ? minFound[side] : maxFound[side]) continue;
      for (int i = 0; i < count; ++i) {
        const Plane& plane = planes[i];
        const int normal = roomSurfaceAxis(plane.type);
        if (normal < 0 || normal == side) continue;
        const bool alongU = planeUAxis(normal) == side;
        if (low) {
          lowerTo(roomMin[side], alongU ? plane.uMin : plane.vMin);
        } else {
          raiseTo(roomMax[side], alongU ? plane.uMax : plane.vMax);
        }
      }
    }
  }
  return room;
}

}  // namespace roombox
