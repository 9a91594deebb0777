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

}  // namespace roombox
