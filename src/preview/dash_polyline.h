#pragma once

#include "preview/project_segment.h"

#include <vector>

namespace roombox {

// Cuts the polyline `line` into dashes: pieces `dash` pixels long along the
// line, separated by gaps `gap` pixels long, beginning with a dash. A dash or
// gap length that is not positive gives the line whole.
Polylines dashPolyline(const std::vector<cv::Point2f>& line, float dash, float gap);

}  // namespace roombox
