#pragma once

#include "roombox/mesh_store.h"

#include <string>

namespace roombox {

// Writes the rectangle mesh as the OBJ file at path (vertex positions, one
// texture coordinate per vertex plus a spare 0.001 0.001, faces as 1-based
// vertex/texture index pairs), then its material file path + ".mtl" naming
// textureFileName. Both files refer to each other by file name only: the
// OBJ's mtllib names the part of path + ".mtl" after its last '/', the
// material's map_Kd the part of textureFileName after its last '/'. Throws
// Error when a file cannot be opened ("Cannot open %s\n", "Cannot make %s\n"
// for the material file) or written completely ("Cannot write %s\n").
void writeTexturedObj(const MeshStore& mesh, const std::string& path,
                      const std::string& textureFileName);

// The files of a run: writes the OBJ at basePath + outputPrefix +
// "-rect.obj" and its material file at basePath + outputPrefix +
// "-rect.obj.mtl", as the path form above, except that mtllib names the
// material file as the part of outputPrefix after its last '/' followed by
// "-rect.obj.mtl" (which is its file name when basePath ends in '/').
void writeTexturedObj(const MeshStore& mesh, const std::string& basePath,
                      const std::string& outputPrefix, const std::string& textureFileName);

}  // namespace roombox
