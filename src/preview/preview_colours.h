#pragma once

#include <opencv2/core.hpp>

namespace roombox {

// Colours of the preview's own marks (blue, green, red).
const cv::Scalar kPreviewBackground(38, 38, 38);  // plan and legend
const cv::Scalar kPreviewHalo(20, 20, 20);        // under lines and labels
const cv::Scalar kPreviewText(235, 235, 235);
const cv::Scalar kPreviewFaint(70, 70, 70);      // the plan's grid
const cv::Scalar kPreviewRoom(255, 255, 255);    // the room box
const cv::Scalar kPreviewCapture(60, 220, 255);  // the capture point and column 0

}  // namespace roombox
