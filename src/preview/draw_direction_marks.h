#pragma once

#include "preview/preview_style.h"

#include <opencv2/core.hpp>

namespace roombox {

// Marks along the top of an equirectangular panorama the four directions of
// the scene axes, as the plan shows them: +x at column 0, -y a quarter of
// the width on, -x at the middle and +y at three quarters, each with a short
// tick and its name.
void drawDirectionMarks(cv::Mat& panorama, const PreviewStyle& style);

}  // namespace roombox
