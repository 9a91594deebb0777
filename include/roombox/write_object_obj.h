#pragma once

#include "roombox/reconstruction.h"

#include <string>

namespace roombox {

// Writes the rectangle mesh of room as an OBJ file at path: vertex
// positions, then the faces (1-based) with a "g <name>" line, the entry's
// name in room.scene, before the first rectangle of every entry, in group
// order. Group rectangle ranges follow one another; an entry without
// rectangles gets its line just before the next entry's, and none when no
// rectangle follows it. Throws Error("Cannot open %s") or Error("Cannot
// write %s") when the file cannot be opened or written completely.
void writeObjectObj(const Reconstruction& room, const std::string& path);

}  // namespace roombox
