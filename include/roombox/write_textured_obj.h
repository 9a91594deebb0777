#pragma once

#include "roombox/mesh_store.h"

#include <string>

namespace roombox {

// Writes the rectangle mesh as basePath + outputPrefix + "-rect.obj" (vertex
// positions, one texture coordinate per vertex plus a spare 0.001 0.001,
// faces as 1-based vertex/texture index pairs), then its material file
// basePath + outputPrefix + "-rect.obj.mtl" naming textureFileName. Both
// files refer to each other by file name only: the part of outputPrefix (and
// of textureFileName) after its last '/'. Throws Error when a file cannot be
// opened ("Cannot open %s\n", "Cannot make %s\n" for the material file) or
// written completely ("Cannot write %s\n").
void writeTexturedObj(const MeshStore& mesh, const std::string& basePath,
                      const std::string& outputPrefix, const std::string& textureFileName);

}  // namespace roombox
