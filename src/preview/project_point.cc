#include "preview/project_point.h"

#include "mesh/rectangle_mesh.h"

#include <climits>

namespace roombox {

cv::Point2f projectPoint(const cv::Point3d& p, cv::Size image) {
  if (image.width <= 0 || image.height <= 0) return cv::Point2f(0.0f, 0.0f);
  // Sub-pixels per pixel; an image too large for the finer grid to fit in an
  // int is mapped on its own grid.
  constexpr int kFine = 8;
  const int fine = image.width <= INT_MAX / kFine && image.height <= INT_MAX / kFine ? kFine : 1;
  const PanoramaPixel pixel =
      mapToPanorama(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z),
                    image.width * fine, image.height * fine);
  // The mapping rounds to the nearest cell, so cell i is centred on i / fine
  // pixels, and pixel centres fall on whole numbers as OpenCV draws them.
  return cv::Point2f(static_cast<float>(static_cast<double>(pixel.col) / fine),
                     static_cast<float>(static_cast<double>(pixel.row) / fine));
}

}  // namespace roombox
