#pragma once

#include "roombox/reconstruction.h"

#include <string>

namespace roombox {

// Writes the room's rectangle mesh as the OBJ file at path (vertex
// positions, one texture coordinate per vertex plus a spare 0.001 0.001,
// faces as 1-based vertex/texture index pairs), then its material file
// path + ".mtl" naming the texture image texturePath. Both files refer to
// each other by file name only: the OBJ's mtllib names the part of path +
// ".mtl" after its last '/', the material's map_Kd the part of texturePath
// after its last '/'. An empty texturePath names the texture image a run
// writes with an OBJ of that name: "<p>-texture.png" for a path
// "<p>-rect.obj", otherwise the path without its file name's extension
// followed by "-texture.png". Throws Error when a file cannot be opened
// ("Cannot open %s", "Cannot make %s" for the material file) or written
// completely ("Cannot write %s").
void writeTexturedObj(const Reconstruction& room, const std::string& path,
                      const std::string& texturePath = std::string());

}  // namespace roombox
