#pragma once

#include "roombox/reconstruction.h"

#include <string>

namespace roombox {

// Writes the room's rectangle mesh as a coloured OFF file at path: every
// vertex with its colour (0..255) and alpha (0 where the panorama is black),
// then every face as "4" and its 0-based vertex indices. Throws
// Error("Cannot open %s") or Error("Cannot write %s") when the file
// cannot be opened or written completely.
void writeObjectOff(const Reconstruction& room, const std::string& path);

}  // namespace roombox
