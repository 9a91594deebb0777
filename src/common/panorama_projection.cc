#include "common/panorama_projection.h"

#include "common/pi.h"

#include <cmath>

namespace roombox {

cv::Point2d panoramaPosition(const cv::Point3d& p, int width, int height) {
  if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
    return cv::Point2d(-0.5, -0.5);
  }
  // hypot and atan2 in double: no square overflows, whatever the unit.
  const double theta = std::atan2(std::hypot(p.x, p.y), p.z);
  double phi = std::atan2(-p.y, p.x);
  if (phi < 0) phi += 2 * kPi;
  return cv::Point2d(phi * width / (2 * kPi) - 0.5, theta * height / kPi - 0.5);
}

cv::Point3d panoramaDirection(double px, double py, int width, int height) {
  const double phi = (px + 0.5) * 2 * kPi / width;
  const double theta = (py + 0.5) * kPi / height;
  return cv::Point3d(std::sin(theta) * std::cos(phi), -std::sin(theta) * std::sin(phi),
                     std::cos(theta));
}

void panoramaPositions(const float start[3], const float step[3], int count, int width,
                       int height, float* px, float* py) {
  constexpr float kPiF = static_cast<float>(kPi);
  const float columnsPerRadian = static_cast<float>(width) / (2 * kPiF);
  const float rowsPerRadian = static_cast<float>(height) / kPiF;
  const float lastColumn = static_cast<float>(width) - 0.5f;
  const float lastRow = static_cast<float>(height) - 0.5f;
  for (int k = 0; k < count; ++k) {
    const float fk = static_cast<float>(k);
    const float x = start[0] + step[0] * fk;
    const float y = start[1] + step[1] * fk;
    const float z = start[2] + step[2] * fk;
    const float theta = approxAtan2(std::sqrt(x * x + y * y), z);
    float phi = approxAtan2(-y, x);
    phi = phi < 0 ? phi + 2 * kPiF : phi;
    const float column = phi * columnsPerRadian - 0.5f;
    const float row = theta * rowsPerRadian - 0.5f;
    // Selects, not branches: NaN fails both comparisons and becomes -0.5.
    px[k] = column >= -0.5f ? (column <= lastColumn ? column : lastColumn) : -0.5f;
    py[k] = row >= -0.5f ? (row <= lastRow ? row : lastRow) : -0.5f;
  }
}

}  // namespace roombox
