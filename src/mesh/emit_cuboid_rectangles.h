#pragma once

#include "roombox/cuboid.h"
#include "roombox/mesh_store.h"

#include <opencv2/core.hpp>

namespace roombox {

// Appends a box to mesh: its 8 corners as vertices vertexCount+0..7
// (corner 0 = (minX, minY, minZ), 1 = (maxX, minY, minZ), 2 = (maxX, minY,
// maxZ), 3 = (minX, minY, maxZ), 4..7 the same at maxY), then one face row
// per face shown in `shown`, in the order minY, maxY, minX, maxZ, maxX,
// minZ, each wound with its right-hand normal pointing out of the box.
// Colours come from the box's category, texture coordinates from the
// panorama (storeMeshVertex). Advances vertexCount by 8 and rectangleCount
// by the number of faces appended.
void emitCuboidRectangles(const Cuboid& box, const CuboidFaces& shown, const cv::Mat& panorama,
                          int viewCount, MeshStore& mesh);

}  // namespace roombox
