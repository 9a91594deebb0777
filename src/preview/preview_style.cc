#include "preview/preview_style.h"

#include "roombox/categories.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace roombox {

namespace {

// Coordinates are kept within this many pixels of the image's origin, far
// outside any image yet far from the limits of the fixed-point ints.
constexpr double kFar = 1.0e6;

}  // namespace

PreviewStyle previewStyle(int width) {
  const double scale = std::max(width, 1) / 2048.0;
  const double textScale = std::max(scale, 0.8);
  PreviewStyle style;
  style.edgeThickness = std::max(2, static_cast<int>(std::lround(2.0 * scale)));
  style.haloThickness = style.edgeThickness + 2;
  style.roomThickness = std::max(1, static_cast<int>(std::lround(1.0 * scale)));
  style.dash = static_cast<float>(9.0 * scale);
  style.gap = static_cast<float>(6.0 * scale);
  style.labelScale = 0.5 * textScale;
  style.textScale = 0.6 * textScale;
  style.textThickness = 1;
  style.padding = std::max(2, static_cast<int>(std::lround(3.0 * textScale)));
  return style;
}

cv::Scalar categoryColour(int category) {
  const CategoryRgb colour = categoryRgb(category);
  return cv::Scalar(colour.b, colour.g, colour.r);
}

double perceivedBrightness(const cv::Scalar& colour) {
  return 0.114 * colour[0] + 0.587 * colour[1] + 0.299 * colour[2];
}

cv::Point fixedPoint(const cv::Point2d& p, int shift) {
  const auto fixed = [shift](double value) {
    const double kept = std::isnan(value) ? 0.0 : std::min(std::max(value, -kFar), kFar);
    return static_cast<int>(std::lround(kept * (1 << shift)));
  };
  return cv::Point(fixed(p.x), fixed(p.y));
}

void drawPolylines(cv::Mat& image, const Polylines& pieces, const cv::Scalar& colour, int thickness,
                   bool smooth) {
  std::vector<std::vector<cv::Point>> fixed;
  fixed.reserve(pieces.size());
  for (const std::vector<cv::Point2f>& piece : pieces) {
    std::vector<cv::Point> points;
    points.reserve(piece.size());
    for (const cv::Point2f& p : piece) points.push_back(fixedPoint(cv::Point2d(p.x, p.y)));
    fixed.push_back(std::move(points));
  }
  if (fixed.empty()) return;
  cv::polylines(image, fixed, false, colour, std::max(thickness, 1),
                smooth ? cv::LINE_AA : cv::LINE_8, kDrawShift);
}

Polylines dashPolyline(const std::vector<cv::Point2f>& line, float dash, float gap) {
  if (!(dash > 0.0f) || !(gap > 0.0f) || line.size() < 2) return Polylines{line};
  Polylines dashes;
  std::vector<cv::Point2f> current{line.front()};
  bool drawing = true;
  float left = dash;  // length left of the current dash or gap
  for (std::size_t i = 1; i < line.size(); ++i) {
    cv::Point2f from = line[i - 1];
    const cv::Point2f to = line[i];
    float length = std::hypot(to.x - from.x, to.y - from.y);
    // The dash or gap ends within this step: cut it there and switch.
    while (length > left) {
      const float share = left / length;
      const cv::Point2f cut = from + (to - from) * share;
      if (drawing) {
        current.push_back(cut);
        dashes.push_back(current);
        current.clear();
      } else {
        current.push_back(cut);
      }
      length -= left;
      from = cut;
      drawing = !drawing;
      left = drawing ? dash : gap;
    }
    left -= length;
    if (drawing) current.push_back(to);
  }
  if (drawing && current.size() >= 2) dashes.push_back(current);
  return dashes;
}

void drawHaloText(cv::Mat& image, const std::string& words, const cv::Point& at,
                  const PreviewStyle& style, const cv::Scalar& colour) {
  cv::putText(image, words, at, cv::FONT_HERSHEY_SIMPLEX, style.textScale, kPreviewHalo,
              style.textThickness + 2, cv::LINE_AA);
  cv::putText(image, words, at, cv::FONT_HERSHEY_SIMPLEX, style.textScale, colour,
              style.textThickness, cv::LINE_AA);
}

}  // namespace roombox
