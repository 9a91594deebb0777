#include "preview/draw_polylines.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace roombox {

namespace {

// Fractional bits of the drawing coordinates.
constexpr int kShift = 4;
// Coordinates are kept within this many pixels of the image's origin, far
// outside any image yet far from the limits of the fixed-point ints.
constexpr float kFar = 1.0e6f;

int fixedPoint(float value) {
  const float kept = std::isnan(value) ? 0.0f : std::min(std::max(value, -kFar), kFar);
  return static_cast<int>(std::lround(kept * (1 << kShift)));
}

}  // namespace

void drawPolylines(cv::Mat& image, const Polylines& pieces, const cv::Scalar& colour, int thickness,
                   bool smooth) {
  std::vector<std::vector<cv::Point>> fixed;
  fixed.reserve(pieces.size());
  for (const std::vector<cv::Point2f>& piece : pieces) {
    std::vector<cv::Point> points;
    points.reserve(piece.size());
    for (const cv::Point2f& p : piece) points.emplace_back(fixedPoint(p.x), fixedPoint(p.y));
    fixed.push_back(std::move(points));
  }
  if (fixed.empty()) return;
  cv::polylines(image, fixed, false, colour, std::max(thickness, 1),
                smooth ? cv::LINE_AA : cv::LINE_8, kShift);
}

}  // namespace roombox
