#pragma once

#include "preview/preview_style.h"

#include <opencv2/core.hpp>

#include <string>

namespace roombox {

// The size of the label drawLabel draws for text: the text in the style's
// label font, with the style's padding around it.
cv::Size labelSize(const std::string& text, const PreviewStyle& style);

}  // namespace roombox
