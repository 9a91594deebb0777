#pragma once

#include "roombox/cuboid.h"

namespace roombox {

// Clears the shown-switch in faces (those of box a) of every face of a that
// box b covers: the face lies in the plane of one of b's faces on its axis,
// and b's range contains a's range on both other axes, bounds included.
// Which side of the face b lies on does not matter; switches already 0 stay
// 0. a and b should be different boxes: a box covers all its own faces.
void hideFacesAgainst(const Cuboid& a, const Cuboid& b, CuboidFaces& faces);

}  // namespace roombox
