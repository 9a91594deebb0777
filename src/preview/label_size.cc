#include "preview/label_size.h"

#include <opencv2/imgproc.hpp>

namespace roombox {

cv::Size labelSize(const std::string& text, const PreviewStyle& style) {
  int baseline = 0;
  const cv::Size textSize = cv::getTextSize(text, cv::FONT_HERSHEY_SIMPLEX, style.labelScale,
                                            style.textThickness, &baseline);
  return cv::Size(textSize.width + 2 * style.padding,
                  textSize.height + baseline + 2 * style.padding);
}

}  // namespace roombox
