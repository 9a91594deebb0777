#pragma once

#include <opencv2/core.hpp>

#include <vector>

namespace roombox {

// Places text boxes of sizes[i] for anchors[i] in an image of `image` size,
// in order: each is centred on its anchor when that place is clear of the
// boxes placed before it; otherwise it moves down or up by whole box heights
// (down first, at most 8 heights) to the nearest clear place. A box that
// finds none stays centred on its anchor. Every box is then moved inside the
// image where it would stick out. Returns one box per anchor.
std::vector<cv::Rect> placeLabels(const std::vector<cv::Point2f>& anchors,
                                  const std::vector<cv::Size>& sizes, cv::Size image);

}  // namespace roombox
