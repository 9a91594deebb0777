#pragma once

#include "roombox/bake_atlas.h"
#include "roombox/reconstruction.h"

#include <string>

namespace roombox {

// Writes the geometry and atlas of writeGlb for tools that read only OBJ:
// basePath + outputPrefix + "-baked.obj" (one group per scene description
// entry that has rectangles, named as it names them; every rectangle one
// quad in its winding with its face normal and atlas texture coordinates;
// scene coordinates, z up, like the other OBJ files), its material file
// basePath + outputPrefix + "-baked.obj.mtl" and the atlas image
// basePath + outputPrefix + "-baked.jpg". The files name each other by file
// name only (the part of outputPrefix after its last '/'). Throws Error when
// a file cannot be opened ("Cannot open %s\n") or written ("Cannot write
// %s\n").
void writeBakedObj(const Reconstruction& room, const BakedAtlas& atlas,
                   const std::string& basePath, const std::string& outputPrefix);

}  // namespace roombox
