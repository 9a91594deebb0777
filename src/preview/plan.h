#pragma once

#include "preview/preview_items.h"
#include "preview/preview_style.h"
#include "roombox/cuboid.h"

#include <opencv2/core.hpp>

#include <vector>

namespace roombox {

// The top-down plan of the reconstruction: how it fits its part of the
// preview, and its drawing.

// How the plan places scene x and y in its image: x to the right, y up, one
// scale on both axes.
struct PlanFrame {
  double pixelsPerUnit = 1.0;
  cv::Point2d origin;          // where the scene origin falls in the image
  double scaleBarUnits = 1.0;  // length of the scale bar in scene units
  double gridUnits = 1.0;      // spacing of the grid lines in scene units
  int margin = 0;              // pixels left free all round

  // The image position (OpenCV drawing coordinates) of scene point (x, y).
  cv::Point2d at(double x, double y) const {
    return cv::Point2d(origin.x + x * pixelsPerUnit, origin.y - y * pixelsPerUnit);
  }
};

// Fits the plan into an image of `plan` size, centred, with a margin of a
// tenth of its height (at least 8 pixels) left free all round: it spans the
// room box (unless its minimum exceeds its maximum), every item's footprint
// and the origin, where the panorama was taken; values that are not finite
// are left out, and a plan narrower than a millionth of a unit spans one
// unit. The scale bar is 1, 2 or 5 times a power of ten units long, the
// longest such that fits in a quarter of the free width; the grid spacing
// likewise the longest that fits ten times.
PlanFrame fitPlanFrame(const std::vector<PreviewItem>& items, const RoomBox& room, cv::Size plan);

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
