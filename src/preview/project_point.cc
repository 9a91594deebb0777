#include "preview/project_point.h"

#include "common/panorama_projection.h"

namespace roombox {

cv::Point2f projectPoint(const cv::Point3d& p, cv::Size image) {
  if (image.width <= 0 || image.height <= 0) return cv::Point2f(0.0f, 0.0f);
  const cv::Point2d at = panoramaPosition(p, image.width, image.height);
  return cv::Point2f(static_cast<float>(at.x), static_cast<float>(at.y));
}

}  // namespace roombox
