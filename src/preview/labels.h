#pragma once

#include "preview/preview_style.h"

#include <opencv2/core.hpp>

#include <string>
#include <vector>

namespace roombox {

// Name labels: their size, where they go so that they do not cover each
// other, and how they are drawn.

// The size of the label drawLabel draws for text: the text in the style's
// label font, with the style's padding around it.
cv::Size labelSize(const std::string& text, const PreviewStyle& style);

// Places text boxes of sizes[i] for anchors[i] in an image of `image` size,
// in order: each is centred on its anchor when that place is clear of the
// boxes placed before it; otherwise it moves down or up by whole box heights
// (down first, at most 8 heights) to the nearest clear place. A box that
// finds none stays centred on its anchor. Every box is then moved inside the
// image where it would stick out. Returns one box per anchor.
std::vector<cv::Rect> placeLabels(const std::vector<cv::Point2f>& anchors,
                                  const std::vector<cv::Size>& sizes, cv::Size image);

// Draws a name label on image: the box `box` (sized by labelSize) filled with
// `colour` and outlined in near black, with text in black or white, whichever
// stands out more against colour.
void drawLabel(cv::Mat& image, const std::string& text, const cv::Rect& box,
               const cv::Scalar& colour, const PreviewStyle& style);

}  // namespace roombox
