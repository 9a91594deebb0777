#pragma once

#include "common/file_names.h"
#include "roombox/bake_atlas.h"
#include "roombox/reconstruction.h"

namespace roombox {

// Writes the atlas image, the material file and the OBJ of writeBakedObj, in
// that order, at the paths of files, naming one another by files' names
// (the image's name also in the OBJ's header line). atlas must be baked from
// room.rectangles.
void writeBakedObjFiles(const Reconstruction& room, const BakedObjFiles& files,
                        const BakedAtlas& atlas);

}  // namespace roombox
