#pragma once

#include "roombox/reconstruction.h"

#include <string>

namespace roombox {

// Writes the room's rectangle mesh as an OBJ file at path: vertex positions,
// then the faces (1-based) with a "g Category_instance" line before the
// first rectangle of every group. Group rectangle ranges follow one another;
// a group without rectangles gets its line just before the next group's, and
// none when no rectangle follows it. Throws Error("Cannot open %s\n") or
// Error("Cannot write %s\n") when the file cannot be opened or written
// completely.
void writeObjectObj(const Reconstruction& room, const std::string& path);

}  // namespace roombox
