#pragma once

#include "roombox/mesh_store.h"

#include <cstdio>

namespace roombox {

// Writes the position of each of the first `count` vertices of mesh as an
// OBJ vertex line, "v %f %f %f\n", formatted as printf would.
// Precondition: mesh.vertices holds at least count entries.
void writeVertexLines(const MeshStore& mesh, int count, FILE* file);

}  // namespace roombox
