#pragma once

#include "roombox/cuboid.h"

#include <opencv2/core.hpp>

#include <vector>

namespace roombox {

// An equirectangular map of width x height pixels (oriented as the
// panorama) holding, per pixel, the index into boxes of the box the ray from
// the origin through the pixel's centre meets first, or -1 where it meets
// none (CV_32SC1). Only boxes of kind 1 count; a box that holds the origin
// is left out.
cv::Mat buildOccluderMap(const std::vector<Cuboid>& boxes, int width, int height);

}  // namespace roombox
