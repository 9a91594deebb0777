#pragma once

#include "roombox/cuboid.h"
#include "roombox/plane.h"

#include <vector>

namespace roombox {

// Derives the room box (roomMin, roomMax) from the wall (types 7 and 9),
// floor and ceiling (type 8) planes, active or not. A plane at a negative
// position bounds its normal axis from below, one at zero or above from
// above; the farthest such plane wins. A side that no plane bounds takes the
// extreme extent of the other boundary planes along that axis. Sides with
// neither keep the initial values, min 1000000 and max -1000000.
RoomBox computeRoomBoundary(const std::vector<Plane>& planes);

}  // namespace roombox
