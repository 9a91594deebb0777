#pragma once

#include "roombox/cuboid.h"
#include "roombox/plane.h"

namespace roombox {

// Typed views of the codes that planes and boxes carry in float fields (see
// roombox/plane.h): every comparison of a plane type or a box kind is made
// here. The reconstruction compares codes exactly, so that 7.5 is no wall;
// the functions whose names say "Truncated" take the code truncated toward
// zero instead, as the rectangle placement and the view transform do.

// Axis numbers: 0 x, 1 y, 2 z.

// The in-plane axes of a plane whose normal lies on axis `normal` (0..2):
// normal x -> u = y, v = z; normal y -> u = x, v = z; normal z -> u = x,
// v = y.
constexpr int planeUAxis(int normal) { return normal == 0 ? 1 : 0; }
constexpr int planeVAxis(int normal) { return normal == 2 ? 1 : 2; }

// The normal axis of any plane type: exactly 1, 4, 7 -> 0; 2, 5, 9 -> 1;
// 3, 6, 8 -> 2; -1 for a code that is no plane type.
int planeNormalAxis(float type);

// Whether type is exactly 1, 2 or 3: a face of an object, from which boxes
// grow.
bool isObjectFace(float type);

// The normal axis of an object face: type exactly 1 -> 0, 2 -> 1, 3 -> 2;
// -1 for any other type.
int objectFaceAxis(float type);

// Whether type is exactly the object face type whose normal lies on axis
// (0..2).
bool isObjectFaceAlong(float type, int axis);

// Whether type is exactly 7, 8 or 9: a wall, the floor or the ceiling.
bool isRoomSurface(float type);

// Whether type is exactly 8: the floor or the ceiling.
bool isFloorOrCeiling(float type);

// The normal axis of a room surface: type exactly 7 -> 0, 9 -> 1, 8 -> 2;
// -1 for any other type.
int roomSurfaceAxis(float type);

// As roomSurfaceAxis for the type truncated toward zero: [7, 8) -> 0,
// [9, 10) -> 1, [8, 9) -> 2; -1 otherwise (NaN included).
int roomSurfaceAxisTruncated(float type);

// The axis along which the view transform moves a plane, for the type
// truncated toward zero: 1, 4, 7 -> 0; 2, 5, 9 -> 1; 3, 6, 8 -> 2; -1 for
// any other (NaN included): such a plane moves only its centre.
int viewMoveAxisTruncated(float type);

// The category index of a room surface (isRoomSurface): Wall for types 7
// and 9; for type 8 Ceiling above z = 0, otherwise Floor.
int roomSurfaceCategory(const Plane& plane);

// Whether two plane types are the same code.
bool sameType(float a, float b);

// Whether box was grown from an object plane (kind exactly 1): only such
// boxes are meshed, described and baked.
bool isGrownBox(const Cuboid& box);

// Whether box carries no material at all (material code exactly 0, -0
// included): the scene description names its material Unknown.
bool hasNoMaterial(const Cuboid& box);

}  // namespace roombox
