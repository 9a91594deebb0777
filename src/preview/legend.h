#pragma once

#include "preview/preview_items.h"
#include "preview/preview_style.h"

#include <opencv2/core.hpp>

#include <vector>

namespace roombox {

// Draws the legend on `legend` (all of it, in place): one row per category
// present among items, in category order, with its colour and how many boxes
// and walls, floors or ceilings of it there are; then what the line styles
// and marks mean. Rows that do not fit are left out.
void drawLegend(const std::vector<PreviewItem>& items, const PreviewStyle& style, cv::Mat& legend);

}  // namespace roombox
