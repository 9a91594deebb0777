#pragma once

#include "roombox/mesh_store.h"

namespace roombox {

// Writes the four 0-based vertex indices of rectangle `row` into columns
// 0..3 of mesh.faces. When row lies past the matrix, faces is
// replaced by a larger copy (at least double the rows; created when empty)
// and rectangleCapacity follows its row count. rectangleCount is left to
// the caller.
void storeFaceRow(int row, int c0, int c1, int c2, int c3, MeshStore& mesh);

}  // namespace roombox
