#pragma once

#include "roombox/bake_atlas.h"

#include <opencv2/core.hpp>

namespace roombox {

// Sets the gutter of kAtlasGutter texels around patch in atlas (8-bit BGR)
// to copies of the patch's nearest edge texel, corners to its corner texels.
void fillGutter(const AtlasPatch& patch, cv::Mat& atlas);

}  // namespace roombox
