#include "preview/plan.h"

#include "common/c_locale.h"
#include "preview/preview_style.h"
#include "roombox/categories.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

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

constexpr double kFillShare = 0.4;
constexpr int kMostGridLines = 200;

// The whole pixel nearest to plan position p.
cv::Point wholePixel(const cv::Point2d& p) { return fixedPoint(p, 0); }

// Draws a straight line between plan positions, anti-aliased.
void line(cv::Mat& plan, const cv::Point2d& from, const cv::Point2d& to, const cv::Scalar& colour,
          int thickness) {
  cv::line(plan, fixedPoint(from), fixedPoint(to), colour, thickness, cv::LINE_AA, kDrawShift);
}

// The pixels a footprint covers, at least one wide and high, within plan.
cv::Rect footprintPixels(const PreviewItem& item, const PlanFrame& frame, cv::Size plan) {
  const cv::Point low = wholePixel(frame.at(item.footprintMin.x, item.footprintMax.y));
  const cv::Point high = wholePixel(frame.at(item.footprintMax.x, item.footprintMin.y));
  const cv::Rect pixels(low, cv::Point(std::max(high.x, low.x) + 1, std::max(high.y, low.y) + 1));
  return pixels & cv::Rect(0, 0, plan.width, plan.height);
}

// Draws grid lines every grid spacing through the origin.
void drawGrid(cv::Mat& plan, const PlanFrame& frame) {
  const double step = frame.gridUnits * frame.pixelsPerUnit;
  if (!(step >= 4.0)) return;
  const double firstX = frame.origin.x - std::floor(frame.origin.x / step) * step;
  const double firstY = frame.origin.y - std::floor(frame.origin.y / step) * step;
  for (int k = 0; k < kMostGridLines && firstX + k * step < plan.cols; ++k) {
    const double x = firstX + k * step;
    line(plan, cv::Point2d(x, 0), cv::Point2d(x, plan.rows - 1), kPreviewFaint, 1);
  }
  for (int k = 0; k < kMostGridLines && firstY + k * step < plan.rows; ++k) {
    const double y = firstY + k * step;
    line(plan, cv::Point2d(0, y), cv::Point2d(plan.cols - 1, y), kPreviewFaint, 1);
  }
}

// "1 unit", "2 units", "0.5 units".
std::string unitsText(double units) {
  const CLocaleScope cLocale;  // a decimal point, whatever the locale
  char number[32];
  std::snprintf(number, sizeof(number), "%g", units);
  return std::string(number) + (units == 1.0 ? " unit" : " units");
}

// Draws the scale bar in the bottom left corner: a bar with end ticks and its
// length in scene units above it.
void drawScaleBar(cv::Mat& plan, const PlanFrame& frame, const PreviewStyle& style, int margin) {
  const double length = frame.scaleBarUnits * frame.pixelsPerUnit;
  const double y = plan.rows - margin / 2.0;
  const cv::Point2d left(margin, y);
  const cv::Point2d right(margin + length, y);
  const double tick = margin / 6.0;
  for (const cv::Scalar& colour : {kPreviewHalo, kPreviewText}) {
    const int thickness = colour == kPreviewHalo ? 5 : 2;
    line(plan, left, right, colour, thickness);
    line(plan, left - cv::Point2d(0, tick), left + cv::Point2d(0, tick), colour, thickness);
    line(plan, right - cv::Point2d(0, tick), right + cv::Point2d(0, tick), colour, thickness);
  }
  drawHaloText(plan, unitsText(frame.scaleBarUnits), wholePixel(left + cv::Point2d(0, -1.6 * tick)),
               style, kPreviewText);
}

// Draws the capture point at the origin and an arrow from it toward +x, the
// direction of the panorama's column 0.
void drawCapturePoint(cv::Mat& plan, const PlanFrame& frame, const PreviewStyle& style,
                      int margin) {
  const cv::Point2d origin = frame.at(0.0, 0.0);
  const cv::Point2d tip = origin + cv::Point2d(1.2 * margin, 0.0);
  cv::arrowedLine(plan, fixedPoint(origin), fixedPoint(tip), kPreviewHalo, 5, cv::LINE_AA,
                  kDrawShift, 0.3);
  cv::arrowedLine(plan, fixedPoint(origin), fixedPoint(tip), kPreviewCapture, 2, cv::LINE_AA,
                  kDrawShift, 0.3);
  cv::circle(plan, fixedPoint(origin), 7 << kDrawShift, kPreviewHalo, cv::FILLED, cv::LINE_AA,
             kDrawShift);
  cv::circle(plan, fixedPoint(origin), 5 << kDrawShift, kPreviewCapture, cv::FILLED, cv::LINE_AA,
             kDrawShift);
  drawHaloText(plan, "column 0 (+x)", wholePixel(tip + cv::Point2d(6.0, 5.0)), style,
               kPreviewCapture);
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

void drawPlan(const std::vector<PreviewItem>& items, const RoomBox& room, const PlanFrame& frame,
              const PreviewStyle& style, cv::Mat& plan) {
  plan.setTo(kPreviewBackground);
  const int margin = frame.margin;
  drawGrid(plan, frame);

  if (room.roomMin[0] <= room.roomMax[0] && room.roomMin[1] <= room.roomMax[1]) {
    const cv::Point2d low = frame.at(room.roomMin[0], room.roomMax[1]);
    const cv::Point2d high = frame.at(room.roomMax[0], room.roomMin[1]);
    cv::rectangle(plan, fixedPoint(low), fixedPoint(high), kPreviewRoom, 5, cv::LINE_AA,
                  kDrawShift);
  }

  // Footprints: the larger first, so that small boxes on top stay visible.
  std::vector<const PreviewItem*> boxes;
  for (const PreviewItem& item : items) {
    if (item.box) boxes.push_back(&item);
  }
  const auto area = [](const PreviewItem* item) {
    return (item->footprintMax.x - item->footprintMin.x) *
           (item->footprintMax.y - item->footprintMin.y);
  };
  std::stable_sort(boxes.begin(), boxes.end(), [&area](const PreviewItem* a, const PreviewItem* b) {
    return area(a) > area(b);
  });
  for (const PreviewItem* box : boxes) {
    const cv::Rect pixels = footprintPixels(*box, frame, plan.size());
    if (pixels.area() == 0) continue;
    cv::Mat covered = plan(pixels);
    const cv::Mat colour(covered.size(), covered.type(), categoryColour(box->category));
    cv::addWeighted(covered, 1.0 - kFillShare, colour, kFillShare, 0.0, covered);
  }
  // Outlines over a halo that stands out from the colour: light under dark
  // colours, dark under light ones.
  for (const PreviewItem* box : boxes) {
    const cv::Point low = fixedPoint(frame.at(box->footprintMin.x, box->footprintMax.y));
    const cv::Point high = fixedPoint(frame.at(box->footprintMax.x, box->footprintMin.y));
    const cv::Scalar colour = categoryColour(box->category);
    const cv::Scalar halo =
        perceivedBrightness(colour) < 80.0 ? cv::Scalar(190, 190, 190) : kPreviewHalo;
    cv::rectangle(plan, low, high, halo, 3, cv::LINE_AA, kDrawShift);
    cv::rectangle(plan, low, high, colour, 1, cv::LINE_AA, kDrawShift);
  }

  // Walls are upright, so seen from above each is a line.
  for (const PreviewItem& item : items) {
    if (item.box || item.category != kCategoryWall) continue;
    line(plan, frame.at(item.footprintMin.x, item.footprintMin.y),
         frame.at(item.footprintMax.x, item.footprintMax.y), categoryColour(item.category), 2);
  }

  drawCapturePoint(plan, frame, style, margin);
  drawScaleBar(plan, frame, style, margin);
  drawHaloText(plan, "Plan, seen from above: x to the right, y up",
               cv::Point(margin / 2, margin / 2 + 8), style, kPreviewText);
}

}  // namespace roombox
