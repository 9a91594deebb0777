#pragma once

#include "roombox/cuboid.h"

#include <vector>

namespace roombox {

// Trims every box to the room box, in place, and returns the face switches
// of every box: all shown but for the faces trimmed here. A bound that
// reaches the room boundary or beyond it (comparison inclusive) is set to
// the boundary and that face's shown-switch is cleared, since the room's own
// wall, floor or ceiling is drawn there.
std::vector<CuboidFaces> clampCuboidsToRoom(const RoomBox& room, std::vector<Cuboid>& cuboids);

// Clears the shown-switch in faces (those of box a) of every face of a that
// box b covers: the face lies in the plane of one of b's faces on its axis,
// and b's range contains a's range on both other axes, bounds included.
// A face touching b's opposite face (a.minX == b.maxX) is always hidden. A
// face lying on b's same-side face (a.minX == b.minX) is hidden too, except
// when b's face there is exactly the same rectangle (equal bounds on both
// other axes) and bIsLater is set (b comes after a in the box list): of two
// boxes sharing one face, the earlier keeps it, so that two identical boxes
// still show one copy. Switches already 0 stay 0. a and b should be
// different boxes: a box covers all its own faces.
void hideFacesAgainst(const Cuboid& a, const Cuboid& b, bool bIsLater, CuboidFaces& faces);

// Clears the shown-switch in `shown` (one record per box) of every box face
// that lies in the plane of a face of another box which covers it: the other
// box's range contains the face's range on both in-plane axes, bounds
// included, whichever side of the face the other box lies on. Of boxes
// whose faces are the very same rectangle on the same side, the earliest in
// the list keeps that face shown (two identical boxes show one copy). Only
// switches change; box bounds stay as they are.
void hideCoveredFaces(const std::vector<Cuboid>& boxes, std::vector<CuboidFaces>& shown);

}  // namespace roombox
