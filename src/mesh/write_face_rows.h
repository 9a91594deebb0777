#pragma once

#include "mesh/format_face_row.h"
#include "roombox/mesh_store.h"

#include <cstdio>

namespace roombox {

// Writes the first `count` rectangles of mesh (rows of mesh.faces), one line
// each in the given style (formatFaceRow), in order.
// Precondition: mesh.faces has at least count rows.
void writeFaceRows(const MeshStore& mesh, int count, FaceRowStyle style, FILE* file);

}  // namespace roombox
