#pragma once

#include "preview/project_segment.h"

#include <opencv2/core.hpp>

namespace roombox {

// Draws every piece of `pieces` on image as an open polyline of `colour`,
// `thickness` pixels wide, placed to a sixteenth of a pixel; anti-aliased
// unless `smooth` is false (a quarter of the time, for the dark halos under
// lines, whose own edges the line drawn over them hides).
void drawPolylines(cv::Mat& image, const Polylines& pieces, const cv::Scalar& colour, int thickness,
                   bool smooth = true);

}  // namespace roombox
