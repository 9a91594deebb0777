#pragma once

#include "roombox/bake_atlas.h"
#include "roombox/reconstruction.h"

#include <string>

namespace roombox {

// Writes the geometry and atlas of writeGlb for tools that read only OBJ:
// the OBJ file at path (one group per scene description entry that has
// rectangles, named as it names them; every rectangle one quad in its
// winding with its face normal and atlas texture coordinates; scene
// coordinates, z up, like the other OBJ files), its material file path +
// ".mtl" and the atlas image beside them: path without a trailing ".obj",
// followed by ".jpg" ("room-baked.obj" goes with "room-baked.jpg", "model"
// with "model.jpg"). The files name each other by file name only (the part
// after the last '/'). atlas must be baked from room.rectangles. Throws
// Error when a file cannot be opened ("Cannot open %s") or written
// ("Cannot write %s").
void writeBakedObj(const Reconstruction& room, const std::string& path, const BakedAtlas& atlas);

}  // namespace roombox
