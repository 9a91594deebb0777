#pragma once

#include "roombox/bake_atlas.h"

#include <opencv2/core.hpp>

namespace roombox {

// Filling what the panorama does not show: the texels of a patch that a box
// hides, and the gutter around every patch.

// Fills the texels of patch (8-bit BGR) where mask (8-bit, patch's size) is
// nonzero from the other, visible texels around them: the visible texels
// are averaged over blocks and a pyramid of ever coarser blocks, and each
// masked texel takes the finest average that has visible texels under it,
// interpolated bilinearly between blocks, so that holes get a smooth blend
// of the colours at their rim. Visible texels stay as they are. Returns
// false, changing nothing, when no texel is visible.
bool fillFromVisible(cv::Mat& patch, const cv::Mat& mask);

// Sets the gutter of kAtlasGutter texels around patch in atlas (8-bit BGR)
// to copies of the patch's nearest edge texel, corners to its corner texels.
// The patch with its gutter must lie within atlas.
void fillGutter(const AtlasPatch& patch, cv::Mat& atlas);

}  // namespace roombox
