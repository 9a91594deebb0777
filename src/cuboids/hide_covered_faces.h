#pragma once

#include "roombox/cuboid.h"

#include <vector>

namespace roombox {

// Clears the shown-switch in `shown` (one record per box) of every box face
// that lies in the plane of a face of another box which covers it: the other
// box's range contains the face's range on both in-plane axes, bounds
// included, whichever side of the face the other box lies on. Of boxes
// whose faces are the very same rectangle on the same side, the earliest in
// the list keeps that face shown (two identical boxes show one copy). Only
// switches change; box bounds stay as they are.
void hideCoveredFaces(const std::vector<Cuboid>& boxes, std::vector<CuboidFaces>& shown);

}  // namespace roombox
