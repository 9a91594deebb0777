#pragma once

#include "roombox/cuboid.h"

namespace roombox {

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

}  // namespace roombox
