#pragma once

// How much of sceneStore.mesh a writer can read: the vertices (entries
// present in all four per-vertex vectors, at most vertexCount) and the
// rectangles (rows of faces, at most rectangleCount). For a mesh built by
// mesh generation these are vertexCount and rectangleCount.
struct MeshExtent {
  int vertices;
  int rectangles;
};

// Returns the readable extent of sceneStore.mesh.
MeshExtent meshExtent();
