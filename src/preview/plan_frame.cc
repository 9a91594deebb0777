#include "preview/plan_frame.h"

#include <algorithm>
#include <cmath>

namespace roombox {

namespace {

// The x and y range a plan spans, grown point by point.
struct Span {
  double minX = 0.0;
  double maxX = 0.0;
  double minY = 0.0;
  double maxY = 0.0;

  void add(double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
  }
};

// The longest of 1, 2 and 5 times a power of ten that is at most `most`.
double roundLength(double most) {
  const double power = std::pow(10.0, std::floor(std::log10(most)));
  if (5.0 * power <= most) return 5.0 * power;
  if (2.0 * power <= most) return 2.0 * power;
  return power;
}

}  // namespace

PlanFrame fitPlanFrame(const std::vector<PreviewItem>& items, const RoomBox& room, cv::Size plan) {
  const int margin = std::max(plan.height / 10, 8);
  // The span starts at the origin, the capture point.
  Span span;
  if (room.roomMin[0] <= room.roomMax[0] && room.roomMin[1] <= room.roomMax[1]) {
    span.add(room.roomMin[0], room.roomMin[1]);
    span.add(room.roomMax[0], room.roomMax[1]);
  }
  for (const PreviewItem& item : items) {
    span.add(item.footprintMin.x, item.footprintMin.y);
    span.add(item.footprintMax.x, item.footprintMax.y);
  }
  double width = span.maxX - span.minX;
  double height = span.maxY - span.minY;
  if (!std::isfinite(width) || !std::isfinite(height)) {
    // Finite ends too far apart for their difference: left out.
    span = Span{};
    width = height = 0.0;
  }
  if (width < 1e-6 && height < 1e-6) {
    span.minX -= 0.5;
    span.maxX += 0.5;
    span.minY -= 0.5;
    span.maxY += 0.5;
    width = height = 1.0;
  }

  const double freeWidth = std::max(plan.width - 2 * margin, 1);
  const double freeHeight = std::max(plan.height - 2 * margin, 1);
  PlanFrame frame;
  frame.margin = margin;
  frame.pixelsPerUnit = std::min(width > 0.0 ? freeWidth / width : HUGE_VAL,
                                 height > 0.0 ? freeHeight / height : HUGE_VAL);
  const double centreX = 0.5 * (span.minX + span.maxX);
  const double centreY = 0.5 * (span.minY + span.maxY);
  frame.origin = cv::Point2d(0.5 * (plan.width - 1) - centreX * frame.pixelsPerUnit,
                             0.5 * (plan.height - 1) + centreY * frame.pixelsPerUnit);
  frame.scaleBarUnits = roundLength(freeWidth / 4.0 / frame.pixelsPerUnit);
  frame.gridUnits = roundLength(freeWidth / 10.0 / frame.pixelsPerUnit);
  return frame;
}

}  // namespace roombox
