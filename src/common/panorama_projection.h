#pragma once

#include "common/pi.h"

#include <opencv2/core.hpp>

namespace roombox {

// The equirectangular projection the baked atlas and the preview share
// (the mesh stage keeps its own mapping, which rounds to whole pixels).
// A panorama of width x height pixels is seen from the origin: column 0
// looks along +x, columns run towards -y, row 0 is the +z pole. Pixel
// (row, col) covers the polar angles [row, row + 1) pi / height from +z and
// the azimuths [col, col + 1) 2 pi / width; positions are continuous pixel
// coordinates with pixel centres at whole numbers, as OpenCV draws and
// samples them: a direction at polar angle theta and azimuth phi lies at
//   px = phi width / (2 pi) - 0.5,  py = theta height / pi - 0.5,
// px within [-0.5, width - 0.5], py within [-0.5, height - 0.5].

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

// The position of the direction from the origin to p, in double. The
// origin and non-finite points give (-0.5, -0.5), the top-left corner.
cv::Point2d panoramaPosition(const cv::Point3d& p, int width, int height);

// The unit direction from the origin that position (px, py) of a panorama
// of width x height pixels shows: the inverse of panoramaPosition.
cv::Point3d panoramaDirection(double px, double py, int width, int height);

// The positions (px[k], py[k]), k < count, of the directions from the
// origin to the points start + k step, in float with an approximate arc
// tangent (within 2e-6 radians): a whole row at once, so that the compiler
// vectorises it. Coordinates are squared in float: the caller scales them
// so that their squares cannot overflow (the baked atlas works in a frame
// whose largest coordinate is below 1). The origin gives the top row; a
// position that is not a number is held to -0.5, so every result is within
// the ranges above.
void panoramaPositions(const float start[3], const float step[3], int count, int width,
                       int height, float* px, float* py);

}  // namespace roombox
