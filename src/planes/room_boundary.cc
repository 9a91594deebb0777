#include "planes/room_boundary.h"

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
    int axis;
    if (plane.type == 7.0f) {
      axis = 0;
    } else if (plane.type == 9.0f) {
      axis = 1;
    } else if (plane.type == 8.0f) {
      axis = 2;
    } else {
      continue;
    }
    if (plane.position < 0) {
      lowerTo(roomMin[axis], plane.position);
      minFound[axis] = true;
    } else {
      raiseTo(roomMax[axis], plane.position);
      maxFound[axis] = true;
    }
  }

  // Fallbacks: the extents of the other boundary planes along a missing side.
  // x is the u axis of types 9 and 8; y the u axis of type 7 and the v axis
  // of type 8; z the v axis of types 7 and 9.
  if (!minFound[0]) {
    for (int i = 0; i < count; ++i) {
      if (planes[i].type == 9.0f || planes[i].type == 8.0f) lowerTo(roomMin[0], planes[i].uMin);
    }
  }
  if (!maxFound[0]) {
    for (int i = 0; i < count; ++i) {
      if (planes[i].type == 9.0f || planes[i].type == 8.0f) raiseTo(roomMax[0], planes[i].uMax);
    }
  }
  if (!minFound[1]) {
    for (int i = 0; i < count; ++i) {
      if (planes[i].type == 7.0f) lowerTo(roomMin[1], planes[i].uMin);
      if (planes[i].type == 8.0f) lowerTo(roomMin[1], planes[i].vMin);
    }
  }
  if (!maxFound[1]) {
    for (int i = 0; i < count; ++i) {
      if (planes[i].type == 7.0f) raiseTo(roomMax[1], planes[i].uMax);
      if (planes[i].type == 8.0f) raiseTo(roomMax[1], planes[i].vMax);
    }
  }
  if (!minFound[2]) {
    for (int i = 0; i < count; ++i) {
      if (planes[i].type == 7.0f || planes[i].type == 9.0f) lowerTo(roomMin[2], planes[i].vMin);
    }
  }
  if (!maxFound[2]) {
    for (int i = 0; i < count; ++i) {
      if (planes[i].type == 7.0f || planes[i].type == 9.0f) raiseTo(roomMax[2], planes[i].vMax);
    }
  }
  return room;
}

}  // namespace roombox
