#pragma once

#include <opencv2/core.hpp>

namespace roombox {

// Value of an occluder candidate map pixel around which several boxes lie.
constexpr int kSeveralOccluders = -2;

// From an occluder map (CV_32SC1, a box index or -1 per pixel, as
// buildOccluderMap makes it), a map of its size (CV_32SC1) telling per pixel
// which boxes the pixel and its eight neighbours hold: -1 none, the box's
// index when they hold one box only, kSeveralOccluders when more. Columns
// wrap around (the first and last columns are neighbours); rows past the
// top and bottom count as the edge rows. Inside a box's outline and far from
// every box one look-up settles which boxes a direction must be tested
// against.
cv::Mat occluderCandidates(const cv::Mat& occluders);

}  // namespace roombox
