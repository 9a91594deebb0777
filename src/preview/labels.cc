#include "preview/labels.h"

#include "preview/preview_style.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace roombox {

namespace {

// Pixels per side of a cell of the map of taken places.
constexpr int kCell = 4;
// Box heights a label may move up or down.
constexpr int kMaxMoves = 8;

// box moved inside the image where it sticks out (to its top left corner
// when it is larger than the image).
cv::Rect keepInside(cv::Rect box, cv::Size image) {
  box.x = std::max(0, std::min(box.x, image.width - box.width));
  box.y = std::max(0, std::min(box.y, image.height - box.height));
  return box;
}

// The cells of the map that box covers, kept within the map.
cv::Rect cellsOf(const cv::Rect& box, const cv::Mat& taken) {
  const int left = box.x / kCell;
  const int top = box.y / kCell;
  const int right = (box.x + box.width + kCell - 1) / kCell;
  const int bottom = (box.y + box.height + kCell - 1) / kCell;
  return cv::Rect(left, top, right - left, bottom - top) & cv::Rect(0, 0, taken.cols, taken.rows);
}

// Coordinate of the box edge that centres a length on a position, kept far
// from the limits of an int.
int centredStart(float position, int length) {
  const double start = static_cast<double>(position) - 0.5 * length;
  if (std::isnan(start)) return 0;
  return static_cast<int>(std::lround(std::min(std::max(start, -1.0e8), 1.0e8)));
}

}  // namespace

cv::Size labelSize(const std::string& text, const PreviewStyle& style) {
  int baseline = 0;
  const cv::Size textSize = cv::getTextSize(text, cv::FONT_HERSHEY_SIMPLEX, style.labelScale,
                                            style.textThickness, &baseline);
  return cv::Size(textSize.width + 2 * style.padding,
                  textSize.height + baseline + 2 * style.padding);
}

std::vector<cv::Rect> placeLabels(const std::vector<cv::Point2f>& anchors,
                                  const std::vector<cv::Size>& sizes, cv::Size image) {
  std::vector<cv::Rect> placed;
  if (image.width <= 0 || image.height <= 0) return placed;
  cv::Mat taken = cv::Mat::zeros((image.height + kCell - 1) / kCell,
                                 (image.width + kCell - 1) / kCell, CV_8UC1);
  const std::size_t count = std::min(anchors.size(), sizes.size());
  placed.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const cv::Size size = sizes[i];
    const cv::Rect centred(centredStart(anchors[i].x, size.width),
                           centredStart(anchors[i].y, size.height), size.width, size.height);
    cv::Rect chosen = keepInside(centred, image);
    // Moves 0, +1, -1, +2, -2, ... box heights (and a 2-pixel gap).
    for (int k = 0; k <= 2 * kMaxMoves; ++k) {
      const int moves = (k + 1) / 2 * (k % 2 == 1 ? 1 : -1);
      const cv::Rect candidate =
          keepInside(centred + cv::Point(0, moves * (size.height + 2)), image);
      const cv::Rect cells = cellsOf(candidate, taken);
      if (cells.area() == 0 || cv::countNonZero(taken(cells)) == 0) {
        chosen = candidate;
        break;
      }
    }
    const cv::Rect cells = cellsOf(chosen, taken);
    if (cells.area() > 0) taken(cells).setTo(255);
    placed.push_back(chosen);
  }
  return placed;
}

void drawLabel(cv::Mat& image, const std::string& text, const cv::Rect& box,
               const cv::Scalar& colour, const PreviewStyle& style) {
  cv::rectangle(image, box, colour, cv::FILLED);
  cv::rectangle(image, box, kPreviewHalo, 1);
  const cv::Scalar ink =
      perceivedBrightness(colour) > 140.0 ? cv::Scalar(0, 0, 0) : cv::Scalar(255, 255, 255);
  int baseline = 0;
  const cv::Size textSize = cv::getTextSize(text, cv::FONT_HERSHEY_SIMPLEX, style.labelScale,
                                            style.textThickness, &baseline);
  const cv::Point origin(box.x + style.padding, box.y + style.padding + textSize.height);
  cv::putText(image, text, origin, cv::FONT_HERSHEY_SIMPLEX, style.labelScale, ink,
              style.textThickness, cv::LINE_AA);
}

}  // namespace roombox
