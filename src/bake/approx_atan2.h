#pragma once

#include "common/pi.h"

namespace roombox {

// atan2(y, x) in (-pi, pi] within 2e-6 radians (a quarter of a percent of a
// pixel of a 8192-pixel-wide panorama), several times cheaper than the C
// library's and without branches the compiler cannot turn into selects, so
// that loops over it vectorise. atan2(0, 0) is 0.
inline float approxAtan2(float y, float x) {
  constexpr float kHalfPi = 1.57079632679f;
  constexpr float kPiF = static_cast<float>(kPi);
  const float ax = x < 0 ? -x : x;
  const float ay = y < 0 ? -y : y;
  const float most = ax > ay ? ax : ay;
  const float least = ax > ay ? ay : ax;
  const float a = least / (most > 0 ? most : 1.0f);  // 0 at the origin, without a branch
  const float s = a * a;
  // Odd polynomial for atan on [0, 1], fitted for least maximum error.
  float r = 0.05265332f + s * -0.01172120f;
  r = -0.11643287f + s * r;
  r = 0.19354346f + s * r;
  r = -0.33262347f + s * r;
  r = a * (0.99997726f + s * r);
  r = ay > ax ? kHalfPi - r : r;
  r = x < 0 ? kPiF - r : r;
  return y < 0 ? -r : r;
}

}  // namespace roombox
