#pragma once

#include "driver/run_settings.h"
#include "roombox/reconstruct_room.h"

namespace roombox {

// Runs the command-line tool's sequence for settings: loads the panorama and
// writes the texture, reads the plane info file, moves the extra views'
// planes, reconstructs the room, writes the cuboid text and the scene
// description, then the cuboid text again and the mesh file of the save
// option, and with settings.preview the preview image (writePreview, no
// console line of its own). Prints each stage's line to standard output as
// it begins and "Done!!!" at the end, and returns the reconstruction. A failure is thrown
// as Error (after the lines of the stages that began), leaving on disk what
// earlier stages wrote.
Reconstruction runRoom(const RunSettings& settings);

}  // namespace roombox
