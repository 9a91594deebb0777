#pragma once

#include <opencv2/core.hpp>

namespace roombox {

// Fills the texels of patch (8-bit BGR) where mask (8-bit, patch's size) is
// nonzero from the other, visible texels around them: the visible texels
// are averaged over blocks and a pyramid of ever coarser blocks, and each
// masked texel takes the finest average that has visible texels under it,
// interpolated bilinearly between blocks, so that holes get a smooth blend
// of the colours at their rim. Visible texels stay as they are. Returns
// false, changing nothing, when no texel is visible.
bool fillFromVisible(cv::Mat& patch, const cv::Mat& mask);

}  // namespace roombox
