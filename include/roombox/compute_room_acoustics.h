#pragma once

#include "roombox/acoustic_materials.h"
#include "roombox/reconstruction.h"
#include "roombox/room_acoustics.h"

namespace roombox {

// Whether the reconstruction has a room box (an empty plane list gives
// none, and then no acoustic model).
bool hasRoomBox(const Reconstruction& room);

// The acoustic model of a reconstruction, in metres: every wall, floor and
// ceiling rectangle and every object face of the mesh with its acoustic
// materials from table, the air volume (the room box minus the union of the
// object boxes), the exposed areas, the air's attenuation, and the
// reverberation times by Sabine and Eyring per octave band. Throws Error
// when the room has no room box, when air is outside what the model covers,
// or when coordinates are not finite numbers.
RoomAcoustics computeRoomAcoustics(const Reconstruction& room,
                                   const MaterialTable& table = builtinMaterialTable(),
                                   const AirConditions& air = AirConditions());

}  // namespace roombox
