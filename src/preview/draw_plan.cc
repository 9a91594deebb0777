#include "preview/draw_plan.h"

#include "common/c_locale.h"
#include "preview/category_colour.h"
#include "preview/preview_colours.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace roombox {

namespace {

constexpr int kShift = 4;       // fractional bits of drawing coordinates
constexpr double kFar = 1.0e6;  // plan pixels are kept within this of the image
constexpr double kFillShare = 0.4;
constexpr int kCategoryWall = 13;
constexpr int kMostGridLines = 200;

cv::Point fixedPoint(const cv::Point2d& p) {
  const auto fixed = [](double value) {
    const double kept = std::isnan(value) ? 0.0 : std::min(std::max(value, -kFar), kFar);
    return static_cast<int>(std::lround(kept * (1 << kShift)));
  };
  return cv::Point(fixed(p.x), fixed(p.y));
}

cv::Point wholePixel(const cv::Point2d& p) {
  const auto whole = [](double value) {
    const double kept = std::isnan(value) ? 0.0 : std::min(std::max(value, -kFar), kFar);
    return static_cast<int>(std::lround(kept));
  };
  return cv::Point(whole(p.x), whole(p.y));
}

// Draws a straight line between plan positions, anti-aliased.
void line(cv::Mat& plan, const cv::Point2d& from, const cv::Point2d& to, const cv::Scalar& colour,
          int thickness) {
  cv::line(plan, fixedPoint(from), fixedPoint(to), colour, thickness, cv::LINE_AA, kShift);
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

// Draws text with its baseline's left end at `at`, over a dark halo.
void text(cv::Mat& plan, const std::string& words, const cv::Point& at, const PreviewStyle& style,
          const cv::Scalar& colour) {
  cv::putText(plan, words, at, cv::FONT_HERSHEY_SIMPLEX, style.textScale, kPreviewHalo,
              style.textThickness + 2, cv::LINE_AA);
  cv::putText(plan, words, at, cv::FONT_HERSHEY_SIMPLEX, style.textScale, colour,
              style.textThickness, cv::LINE_AA);
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
  text(plan, unitsText(frame.scaleBarUnits), wholePixel(left + cv::Point2d(0, -1.6 * tick)), style,
       kPreviewText);
}

// Draws the capture point at the origin and an arrow from it toward +x, the
// direction of the panorama's column 0.
void drawCapturePoint(cv::Mat& plan, const PlanFrame& frame, const PreviewStyle& style,
                      int margin) {
  const cv::Point2d origin = frame.at(0.0, 0.0);
  const cv::Point2d tip = origin + cv::Point2d(1.2 * margin, 0.0);
  cv::arrowedLine(plan, fixedPoint(origin), fixedPoint(tip), kPreviewHalo, 5, cv::LINE_AA, kShift,
                  0.3);
  cv::arrowedLine(plan, fixedPoint(origin), fixedPoint(tip), kPreviewCapture, 2, cv::LINE_AA,
                  kShift, 0.3);
  cv::circle(plan, fixedPoint(origin), 7 << kShift, kPreviewHalo, cv::FILLED, cv::LINE_AA, kShift);
  cv::circle(plan, fixedPoint(origin), 5 << kShift, kPreviewCapture, cv::FILLED, cv::LINE_AA,
             kShift);
  text(plan, "column 0 (+x)", wholePixel(tip + cv::Point2d(6.0, 5.0)), style, kPreviewCapture);
}

}  // namespace

void drawPlan(const std::vector<PreviewItem>& items, const RoomBox& room, const PlanFrame& frame,
              const PreviewStyle& style, cv::Mat& plan) {
  plan.setTo(kPreviewBackground);
  const int margin = frame.margin;
  drawGrid(plan, frame);

  if (room.roomMin[0] <= room.roomMax[0] && room.roomMin[1] <= room.roomMax[1]) {
    const cv::Point2d low = frame.at(room.roomMin[0], room.roomMax[1]);
    const cv::Point2d high = frame.at(room.roomMax[0], room.roomMin[1]);
    cv::rectangle(plan, fixedPoint(low), fixedPoint(high), kPreviewRoom, 5, cv::LINE_AA, kShift);
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
    const double brightness = 0.114 * colour[0] + 0.587 * colour[1] + 0.299 * colour[2];
    const cv::Scalar halo = brightness < 80.0 ? cv::Scalar(190, 190, 190) : kPreviewHalo;
    cv::rectangle(plan, low, high, halo, 3, cv::LINE_AA, kShift);
    cv::rectangle(plan, low, high, colour, 1, cv::LINE_AA, kShift);
  }

  // Walls are upright, so seen from above each is a line.
  for (const PreviewItem& item : items) {
    if (item.box || item.category != kCategoryWall) continue;
    line(plan, frame.at(item.footprintMin.x, item.footprintMin.y),
         frame.at(item.footprintMax.x, item.footprintMax.y), categoryColour(item.category), 2);
  }

  drawCapturePoint(plan, frame, style, margin);
  drawScaleBar(plan, frame, style, margin);
  text(plan, "Plan, seen from above: x to the right, y up", cv::Point(margin / 2, margin / 2 + 8),
       style, kPreviewText);
}

}  // namespace roombox
