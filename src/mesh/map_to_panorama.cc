#include "mesh/map_to_panorama.h"

#include "common/pi.h"

#include <cmath>

namespace roombox {

namespace {

// Converts a non-negative pixel position to an index below size. NaN and
// negative positions give 0, positions at or past size give size - 1; the
// value is compared before it is converted, so no out-of-range value reaches
// the integer conversion.
int clampToIndex(double position, int size) {
  if (!(position >= 0.0) || size <= 0) return 0;
  if (position >= static_cast<double>(size)) return size - 1;
  return static_cast<int>(position);
}

}  // namespace

PanoramaPixel mapToPanorama(float x, float y, float z, int width, int height) {
  if (width <= 0 || height <= 0) return PanoramaPixel{0, 0};

  // The angles are held in float; the math functions are the double ones
  // applied to the float values.
  const float r = static_cast<float>(std::sqrt(static_cast<double>(x * x + y * y + z * z)));

  // Where x = 0 the azimuth is one of two fixed values, so y / x is only
  // computed for a nonzero x (0 / 0 never happens on the z axis).
  float phi = 0.0f;
  if (x == 0) {
    phi = y <= 0 ? 1.5707964f : 4.712389f;
  } else {
    phi = static_cast<float>(kPi - std::atan(static_cast<double>(y / x)));
    if (x > 0 && y < 0) phi = static_cast<float>(phi - kPi);
    if (x > 0 && y > 0) phi = static_cast<float>(phi + kPi);
  }
  if (y == 0 && x > 0) phi = 0.0f;

  const float rowStep = static_cast<float>((1.0f / static_cast<float>(height)) * kPi);
  const float colStep = static_cast<float>((2.0f / static_cast<float>(width)) * kPi);
  // A point at the origin (r = 0, also after underflow) has no polar angle
  // and takes row 0; z / r is not computed for it.
  double row = 0.0;
  if (r > 0) {
    const float theta = static_cast<float>(std::acos(static_cast<double>(z / r)));
    row = std::floor(static_cast<double>(theta / rowStep) + 0.5);
  }
  const double col = std::floor(static_cast<double>(phi / colStep) + 0.5);
  return PanoramaPixel{clampToIndex(row, height), clampToIndex(col, width)};
}

}  // namespace roombox
