#pragma once

#include "roombox/mesh_store.h"

namespace roombox {

// How much of a mesh a writer can read: the vertices (entries
// present in all four per-vertex vectors, at most vertexCount) and the
// rectangles (rows of faces, at most rectangleCount). For a mesh built by
// mesh generation these are vertexCount and rectangleCount.
struct MeshExtent {
  int vertices;
  int rectangles;
};

// Returns the readable extent of mesh.
MeshExtent meshExtent(const MeshStore& mesh);

}  // namespace roombox
