#pragma once

#include "roombox/reconstruction.h"

#include <opencv2/core.hpp>

namespace roombox {

// Draws the preview image of room (8-bit BGR, laid out by previewLayout): the
// panorama scaled to the preview's width with the reconstruction drawn over
// it and the scene axes marked along its top, and below it the plan and the
// legend. panorama is the one the room was reconstructed from, 8-bit with 1,
// 3 (BGR) or 4 channels; an empty or other panorama leaves its place grey.
cv::Mat renderPreview(const Reconstruction& room, const cv::Mat& panorama);

}  // namespace roombox
