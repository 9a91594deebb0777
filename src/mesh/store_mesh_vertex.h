#pragma once

#include "roombox/mesh_store.h"

#include <opencv2/core.hpp>

namespace roombox {

// Stores mesh vertex `index` at (x, y, z): its position, its texture
// coordinate (the panorama pixel the point maps to, inside the panorama's
// band of the merged texture), the palette colour of colourIndex (0..14;
// other values use entry 0) and its alpha: 255, or 0 when the first (blue)
// byte of the panorama pixel one column to the right of the mapped pixel is
// 0. Right of the last column is column 0 of the same row. panorama is the
// loaded panorama (8-bit BGR), with viewCount bands of extra views below it
// in the merged texture. The per-vertex vectors of mesh are resized to
// index + 1 (normally one append); vertexCount is left to the caller.
void storeMeshVertex(int index, float x, float y, float z, int colourIndex,
                     const cv::Mat& panorama, int viewCount, MeshStore& mesh);

}  // namespace roombox
