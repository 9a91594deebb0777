#pragma once

#include "roombox/mesh_store.h"
#include "roombox/plane.h"

#include <opencv2/core.hpp>

namespace roombox {

// Appends one rectangle to mesh for a room plane (type 7 wall x = position,
// 9 wall y = position, 8 floor or ceiling z = position): 4 vertices at
// vertexCount.. and one face row at rectangleCount, wound so that the quad's
// right-hand normal points toward the origin. Vertex colours come from the
// plane's own category, texture coordinates from the panorama
// (storeMeshVertex). Advances vertexCount by 4 and rectangleCount by 1. A
// type that truncates to none of 7, 8, 9 appends nothing.
void emitPlaneRectangle(const Plane& plane, const cv::Mat& panorama, int viewCount,
                        MeshStore& mesh);

}  // namespace roombox
