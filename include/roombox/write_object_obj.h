#pragma once

#include "roombox/mesh_store.h"

#include <string>

namespace roombox {

// Writes the rectangle mesh as an OBJ file at path: vertex positions, then
// the faces (1-based) with a "g Category_instance" line before the first
// rectangle of every group. Group rectangle ranges follow one another; a
// group without rectangles gets its line just before the next group's, and
// none when no rectangle follows it. Throws Error("Cannot open %s\n") or
// Error("Cannot write %s\n") when the file cannot be opened or written
// completely.
void writeObjectObj(const RectangleMesh& rectangles, const std::string& path);

}  // namespace roombox
