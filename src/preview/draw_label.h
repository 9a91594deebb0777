#pragma once

#include "preview/preview_style.h"

#include <opencv2/core.hpp>

#include <string>

namespace roombox {

// Draws a name label on image: the box `box` (sized by labelSize) filled with
// `colour` and outlined in near black, with text in black or white, whichever
// stands out more against colour.
void drawLabel(cv::Mat& image, const std::string& text, const cv::Rect& box,
               const cv::Scalar& colour, const PreviewStyle& style);

}  // namespace roombox
