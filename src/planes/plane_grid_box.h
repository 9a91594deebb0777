#pragma once

#include "planes/box_grid.h"
#include "roombox/plane.h"

namespace roombox {

// The box that an object plane (type 1, 2 or 3) occupies in the room: its
// position on its normal axis (type - 1) and its u and v ranges on the
// in-plane axes (type 1: y, z; type 2: x, z; type 3: x, y). A range whose
// bounds are the wrong way round gives the box between them, so the box
// holds every point that a comparison with either bound can reach.
// Precondition: plane.type is 1, 2 or 3.
GridBox planeGridBox(const Plane& plane);

}  // namespace roombox
