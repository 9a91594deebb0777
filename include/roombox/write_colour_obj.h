#pragma once

#include "roombox/reconstruction.h"

#include <string>

namespace roombox {

// Writes the room's rectangle mesh as an OBJ file with vertex colours at
// path: every vertex with its colour scaled to 0..1, then all faces
// (1-based) in one group "default". Throws Error("Cannot open %s") or
// Error("Cannot write %s") when the file cannot be opened or written
// completely.
void writeColourObj(const Reconstruction& room, const std::string& path);

}  // namespace roombox
