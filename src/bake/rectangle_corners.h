#pragma once

#include "roombox/mesh_store.h"

namespace roombox {

// The four corners of rectangle `row` of the mesh, in the order of its face
// row, as double precision points: corners[k][axis].
void rectangleCorners(const MeshStore& mesh, int row, double corners[4][3]);

}  // namespace roombox
