#pragma once

#include "preview/plan_frame.h"
#include "preview/preview_item.h"
#include "preview/preview_style.h"
#include "roombox/cuboid.h"

#include <opencv2/core.hpp>

#include <vector>

namespace roombox {

// Draws the top-down plan of the reconstruction on `plan` (all of it, in
// place) as `frame` places it: a faint grid through the origin, the room
// box's outline in white (unless its minimum exceeds its maximum), every
// box's footprint filled with its category colour over what lies below it
// (40% of the colour, so that stacked boxes show) and outlined in it over a
// contrasting halo, the larger boxes first, every wall as a line in its colour,
// the capture point at the origin with an arrow toward +x (column 0 of the
// panorama), the scale bar, and a title.
void drawPlan(const std::vector<PreviewItem>& items, const RoomBox& room, const PlanFrame& frame,
              const PreviewStyle& style, cv::Mat& plan);

}  // namespace roombox
