#include "common/plane_types.h"

#include "roombox/categories.h"

namespace roombox {

int planeNormalAxis(float type) {
  if (type == 1.0f || type == 4.0f || type == 7.0f) return 0;
  if (type == 2.0f || type == 5.0f || type == 9.0f) return 1;
  if (type == 3.0f || type == 6.0f || type == 8.0f) return 2;
  return -1;
}

bool isObjectFace(float type) { return type == 1.0f || type == 2.0f || type == 3.0f; }

int objectFaceAxis(float type) {
  if (type == 1.0f) return 0;
  if (type == 2.0f) return 1;
  if (type == 3.0f) return 2;
  return -1;
}

bool isObjectFaceAlong(float type, int axis) { return axis >= 0 && objectFaceAxis(type) == axis; }

bool isRoomSurface(float type) { return type == 7.0f || type == 8.0f || type == 9.0f; }

bool isFloorOrCeiling(float type) { return type == 8.0f; }

int roomSurfaceAxis(float type) {
  if (type == 7.0f) return 0;
  if (type == 9.0f) return 1;
  if (type == 8.0f) return 2;
  return -1;
}

int roomSurfaceAxisTruncated(float type) {
  if (type >= 7.0f && type < 8.0f) return 0;
  if (type >= 9.0f && type < 10.0f) return 1;
  if (type >= 8.0f && type < 9.0f) return 2;
  return -1;
}

int viewMoveAxisTruncated(float type) {
  // Truncation toward zero, done only on values inside the type range.
  if (!(type >= 1.0f && type < 10.0f)) return -1;
  switch (static_cast<int>(type)) {
    case 1:
    case 4:
    case 7:
      return 0;
    case 2:
    case 5:
    case 9:
      return 1;
    case 3:
    case 6:
    case 8:
      return 2;
    default:
      return -1;
  }
}

int roomSurfaceCategory(const Plane& plane) {
  if (!isFloorOrCeiling(plane.type)) return kCategoryWall;
  return plane.position > 0 ? kCategoryCeiling : kCategoryFloor;
}

bool sameType(float a, float b) { return a == b; }

bool isGrownBox(const Cuboid& box) { return box.kind == 1.0f; }

bool hasNoMaterial(const Cuboid& box) { return box.material == 0.0f; }

}  // namespace roombox
