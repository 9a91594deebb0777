#include "preview/preview_layout.h"

#include <algorithm>
#include <cmath>

namespace roombox {

namespace {

constexpr int kWidest = 2048;
constexpr int kNarrowest = 1024;
// The band below the panorama is never lower than this, so that the legend
// of all fifteen categories and its line styles fit at the smallest text.
constexpr int kLowestBand = 600;
// Nor the legend narrower than this, for its longest line.
constexpr int kNarrowestLegend = 380;

}  // namespace

PreviewLayout previewLayout(cv::Size panorama) {
  const bool empty = panorama.width <= 0 || panorama.height <= 0;
  const int width = empty ? kNarrowest : std::min(std::max(panorama.width, kNarrowest), kWidest);
  int height = width / 2;
  if (!empty) {
    const double scaled = static_cast<double>(panorama.height) * width / panorama.width;
    height = static_cast<int>(std::lround(std::min(std::max(scaled, width / 8.0), 1.0 * width)));
  }
  const int band = std::max(width * 3 / 8, kLowestBand);
  const int legendWidth = std::max(width * 3 / 10, kNarrowestLegend);
  PreviewLayout layout;
  layout.canvas = cv::Size(width, height + band);
  layout.panorama = cv::Rect(0, 0, width, height);
  layout.plan = cv::Rect(0, height, width - legendWidth, band);
  layout.legend = cv::Rect(width - legendWidth, height, legendWidth, band);
  return layout;
}

}  // namespace roombox
