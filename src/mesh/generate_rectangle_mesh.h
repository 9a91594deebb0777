#pragma once

#include "roombox/cuboid.h"
#include "roombox/mesh_store.h"
#include "roombox/plane.h"

#include <opencv2/core.hpp>

#include <vector>

namespace roombox {

// Builds the rectangle mesh of the room: one rectangle per plane of type 7,
// 8 or 9 (in plane order, whether active or not), then 8 vertices and one
// rectangle per shown face (cuboidFaces, one record per box) for every
// cuboid of kind 1.0 (in cuboid order). Each emitted plane or cuboid gets
// one group (category, 1-based instance number within its category shared
// by planes and cuboids, range of rectangles, and its source: the plane's or
// the box's index) and one label (category and material flags), in emission
// order. Categories: type 7 and 9 Wall (13); type 8 Ceiling (3) above z = 0,
// otherwise Floor (5); cuboids their own category. Texture coordinates and
// vertex alpha come from the panorama, with viewCount bands of extra views
// below it in the merged texture. The stores are reserved for exactly the
// vertices and rectangles the room needs.
RectangleMesh generateRectangleMesh(const std::vector<Plane>& planes,
                                    const std::vector<Cuboid>& cuboids,
                                    const std::vector<CuboidFaces>& cuboidFaces,
                                    const cv::Mat& panorama, int viewCount);

}  // namespace roombox
