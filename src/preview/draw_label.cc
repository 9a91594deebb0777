#include "preview/draw_label.h"

#include "preview/preview_colours.h"

#include <opencv2/imgproc.hpp>

namespace roombox {

void drawLabel(cv::Mat& image, const std::string& text, const cv::Rect& box,
               const cv::Scalar& colour, const PreviewStyle& style) {
  cv::rectangle(image, box, colour, cv::FILLED);
  cv::rectangle(image, box, kPreviewHalo, 1);
  // Perceived brightness of the colour (blue, green, red).
  const double brightness = 0.114 * colour[0] + 0.587 * colour[1] + 0.299 * colour[2];
  const cv::Scalar ink = brightness > 140.0 ? cv::Scalar(0, 0, 0) : cv::Scalar(255, 255, 255);
  int baseline = 0;
  const cv::Size textSize = cv::getTextSize(text, cv::FONT_HERSHEY_SIMPLEX, style.labelScale,
                                            style.textThickness, &baseline);
  const cv::Point origin(box.x + style.padding, box.y + style.padding + textSize.height);
  cv::putText(image, text, origin, cv::FONT_HERSHEY_SIMPLEX, style.labelScale, ink,
              style.textThickness, cv::LINE_AA);
}

}  // namespace roombox
