#include "preview/draw_direction_marks.h"

#include "preview/preview_colours.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

namespace roombox {

void drawDirectionMarks(cv::Mat& panorama, const PreviewStyle& style) {
  const char* const names[4] = {"+x", "-y", "-x", "+y"};
  int baseline = 0;
  for (int k = 0; k < 4; ++k) {
    const int column = panorama.cols * k / 4;
    const cv::Size size = cv::getTextSize(names[k], cv::FONT_HERSHEY_SIMPLEX, style.textScale,
                                          style.textThickness, &baseline);
    const int tick = size.height;
    // Centred on its column, but the name of column 0 starts there.
    const int left = k == 0 ? column + style.padding : column - size.width / 2;
    cv::line(panorama, cv::Point(column, 0), cv::Point(column, tick), kPreviewHalo, 4);
    cv::line(panorama, cv::Point(column, 0), cv::Point(column, tick), kPreviewCapture, 2);
    const cv::Point at(std::max(left, 0), tick + style.padding + size.height);
    cv::putText(panorama, names[k], at, cv::FONT_HERSHEY_SIMPLEX, style.textScale, kPreviewHalo,
                style.textThickness + 2, cv::LINE_AA);
    cv::putText(panorama, names[k], at, cv::FONT_HERSHEY_SIMPLEX, style.textScale, kPreviewCapture,
                style.textThickness, cv::LINE_AA);
  }
}

}  // namespace roombox
