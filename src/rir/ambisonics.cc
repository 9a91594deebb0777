#include "rir/ambisonics.h"

#include "common/panorama_projection.h"
#include "roombox/impulse_response.h"

#include <cmath>

namespace roombox {

Vec3 ambisonicFront() {
  // The centre column of any panorama, on its horizon: with an even width
  // the centre lies between two columns, at the half-pixel (width - 1) / 2.
  const cv::Point3d centre = panoramaDirection(0.5, 0.5, 2, 2);
  // Exact zeros where the projection leaves rounding residue.
  const auto clean = [](double v) { return std::fabs(v) < 1e-12 ? 0.0 : v; };
  return Vec3{clean(centre.x), clean(centre.y), clean(centre.z)};
}

std::array<double, 4> ambixGains(const Vec3& from) {
  static const Vec3 front = ambisonicFront();
  // Scene z is up (the panorama's top row); left is up x front.
  const Vec3 up{0.0, 0.0, 1.0};
  const Vec3 left{up[1] * front[2] - up[2] * front[1], up[2] * front[0] - up[0] * front[2],
                  up[0] * front[1] - up[1] * front[0]};
  const double x = from[0] * front[0] + from[1] * front[1] + from[2] * front[2];
  const double y = from[0] * left[0] + from[1] * left[1] + from[2] * left[2];
  return {1.0, y, from[2], x};
}

}  // namespace roombox
