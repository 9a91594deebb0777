#pragma once

#include "roombox/reconstruction.h"

#include <string>

namespace roombox {

// Writes the room's scene description text (room.sceneText) and one line
// feed to path. Throws Error("Cannot open %s") or Error("Cannot write
// %s") when the file cannot be opened or written completely.
void writeSceneFile(const Reconstruction& room, const std::string& path);

}  // namespace roombox
