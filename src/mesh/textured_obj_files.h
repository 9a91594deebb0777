#pragma once

#include "common/file_names.h"
#include "roombox/reconstruction.h"

namespace roombox {

// Writes the textured OBJ of writeTexturedObj at files.objPath and its
// material file at files.mtlPath, the OBJ's mtllib naming the material file
// files.mtlName and the material's map_Kd naming the texture image
// files.textureName.
void writeTexturedObjFiles(const Reconstruction& room, const TexturedObjFiles& files);

}  // namespace roombox
