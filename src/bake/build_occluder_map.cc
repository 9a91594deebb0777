#include "bake/build_occluder_map.h"

#include "common/pi.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace roombox {

namespace {

// Distance along the unit direction d at which the ray from the origin
// enters box, or a negative value when it misses it.
double rayEntry(const Cuboid& box, const double d[3]) {
  const double lo[3] = {box.minX, box.minY, box.minZ};
  const double hi[3] = {box.maxX, box.maxY, box.maxZ};
  double enter = 0;
  double leave = 1e300;
  for (int a = 0; a < 3; ++a) {
    if (d[a] == 0) {
      if (lo[a] > 0 || hi[a] < 0) return -1;
      continue;
    }
    double t0 = lo[a] / d[a];
    double t1 = hi[a] / d[a];
    if (t0 > t1) std::swap(t0, t1);
    enter = std::max(enter, t0);
    leave = std::min(leave, t1);
  }
  return enter <= leave ? enter : -1;
}

// The rows and columns a box can cover, a little wide; columns may run past
// the right edge (they wrap). The polar angle of a box point depends on its
// distance from the z axis and its z only, and is monotonic in each, so its
// extremes lie at the extremes of both; the azimuths of a box not around
// the z axis lie within the arc of its four vertical edges.
void boxWindow(const Cuboid& box, int width, int height, int& row0, int& row1, int& col0,
               int& col1) {
  const double xs[2] = {box.minX, box.maxX};
  const double ys[2] = {box.minY, box.maxY};
  const double nearX = box.minX > 0 ? box.minX : (box.maxX < 0 ? box.maxX : 0.0);
  const double nearY = box.minY > 0 ? box.minY : (box.maxY < 0 ? box.maxY : 0.0);
  const double rhoMin = std::hypot(nearX, nearY);
  double rhoMax = 0;
  for (const double x : xs) {
    for (const double y : ys) rhoMax = std::max(rhoMax, std::hypot(x, y));
  }
  double thetaMin = kPi;
  double thetaMax = 0;
  for (const double rho : {rhoMin, rhoMax}) {
    for (const double z : {static_cast<double>(box.minZ), static_cast<double>(box.maxZ)}) {
      const double theta = std::atan2(rho, z);
      thetaMin = std::min(thetaMin, theta);
      thetaMax = std::max(thetaMax, theta);
    }
  }
  row0 = std::max(0, static_cast<int>(std::floor(thetaMin / kPi * height)) - 1);
  row1 = std::min(height - 1, static_cast<int>(std::floor(thetaMax / kPi * height)) + 1);

  const bool aroundAxis = box.minX <= 0 && box.maxX >= 0 && box.minY <= 0 && box.maxY >= 0;
  if (aroundAxis) {
    col0 = 0;
    col1 = width - 1;
    return;
  }
  const double first = std::atan2(-ys[0], xs[0]);
  double low = 0;
  double high = 0;
  for (const double x : xs) {
    for (const double y : ys) {
      double delta = std::atan2(-y, x) - first;
      while (delta > kPi) delta -= 2 * kPi;
      while (delta < -kPi) delta += 2 * kPi;
      low = std::min(low, delta);
      high = std::max(high, delta);
    }
  }
  double start = (first + low) / (2 * kPi) * width;
  double end = (first + high) / (2 * kPi) * width;
  while (start < 0) {
    start += width;
    end += width;
  }
  col0 = static_cast<int>(std::floor(start)) - 1;
  col1 = static_cast<int>(std::floor(end)) + 1;
  if (col1 - col0 >= width) {
    col0 = 0;
    col1 = width - 1;
  }
}

}  // namespace

cv::Mat buildOccluderMap(const std::vector<Cuboid>& boxes, int width, int height) {
  cv::Mat ids(height, width, CV_32SC1, cv::Scalar(-1));
  cv::Mat depth(height, width, CV_64FC1, cv::Scalar(1e300));
  // The azimuth's cosine and sine per column, shared by every row and box.
  std::vector<double> cosines(static_cast<std::size_t>(width));
  std::vector<double> sines(static_cast<std::size_t>(width));
  for (int col = 0; col < width; ++col) {
    const double phi = (col + 0.5) / width * 2 * kPi;
    cosines[static_cast<std::size_t>(col)] = std::cos(phi);
    sines[static_cast<std::size_t>(col)] = std::sin(phi);
  }
  for (std::size_t b = 0; b < boxes.size(); ++b) {
    const Cuboid& box = boxes[b];
    if (box.kind != 1.0f) continue;
    const bool holdsOrigin = box.minX <= 0 && box.maxX >= 0 && box.minY <= 0 && box.maxY >= 0 &&
                             box.minZ <= 0 && box.maxZ >= 0;
    if (holdsOrigin) continue;
    int row0, row1, col0, col1;
    boxWindow(box, width, height, row0, row1, col0, col1);
    for (int row = row0; row <= row1; ++row) {
      const double theta = (row + 0.5) / height * kPi;
      const double s = std::sin(theta);
      const double c = std::cos(theta);
      int* idRow = ids.ptr<int>(row);
      double* depthRow = depth.ptr<double>(row);
      for (int k = col0; k <= col1; ++k) {
        const int col = ((k % width) + width) % width;
        const double d[3] = {s * cosines[static_cast<std::size_t>(col)],
                             -s * sines[static_cast<std::size_t>(col)], c};
        const double t = rayEntry(box, d);
        if (t >= 0 && t < depthRow[col]) {
          depthRow[col] = t;
          idRow[col] = static_cast<int>(b);
        }
      }
    }
  }
  return ids;
}

}  // namespace roombox
