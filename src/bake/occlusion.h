#pragma once

#include "roombox/cuboid.h"

#include <opencv2/core.hpp>

#include <cmath>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace roombox {

// Which boxes hide what from the origin: an equirectangular map of the box
// met first in every direction, the candidates around each of its pixels,
// and the exact test of a segment from the origin against one box.

// Per box of boxes: the index of the first box with exactly the same bounds
// (itself when it is the first), or -1 for a box that hides nothing (not of
// kind 1, or holding the origin). Duplicate boxes are common, and one of
// them hides exactly what all of them do, so each is tested once.
std::vector<int> occludingBoxes(const std::vector<Cuboid>& boxes);

// An equirectangular map of width x height pixels (oriented as the
// panorama) holding, per pixel, the index into boxes of the box the ray from
// the origin through the pixel's centre meets first, or -1 where it meets
// none (CV_32SC1); among boxes met at the same distance the lowest index.
// Only the boxes occludingBoxes keeps count, each under its first index.
// The map is worked in tiles, each testing only the boxes whose angular
// window reaches it, nearest first, so a pixel's cost grows with the boxes
// around its direction in front of the first one met, not with all boxes.
// Runs on `threads` threads (at least 1).
cv::Mat buildOccluderMap(const std::vector<Cuboid>& boxes, int width, int height, int threads);

// Value of an occluder candidate map pixel around which several boxes lie.
constexpr int kSeveralOccluders = -2;

// From an occluder map (CV_32SC1, a box index or -1 per pixel, as
// buildOccluderMap makes it), a map of its size (CV_32SC1) telling per pixel
// which boxes the pixel and its eight neighbours hold: -1 none, the box's
// index when they hold one box only, kSeveralOccluders when more. Columns
// wrap around (the first and last columns are neighbours); rows past the
// top and bottom count as the edge rows. Inside a box's outline and far from
// every box one look-up settles which boxes a direction must be tested
// against.
cv::Mat occluderCandidates(const cv::Mat& occluders);

// The segment from the origin to a point, with the reciprocals of its
// components and its length worked out once for all the boxes it is tested
// against.
struct OriginSegment {
  double end[3];
  double inverse[3];  // 1 / end[a]; unused where end[a] is 0
  double length;
};

inline OriginSegment originSegment(const double p[3]) {
  OriginSegment s;
  for (int a = 0; a < 3; ++a) {
    s.end[a] = p[a];
    s.inverse[a] = p[a] != 0 ? 1 / p[a] : 0.0;
  }
  s.length = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
  return s;
}

// True when segment s enters box, grown by `margin` on every side, before
// reaching its end point: it meets the grown box at a fraction of its
// length below 1 - 1e-4, so that a point on the box's own surface facing
// the origin is not hidden by it. False when the origin lies inside the
// grown box. Inline: it runs for every texel near a box.
inline bool segmentEntersBox(const Cuboid& box, double margin, const OriginSegment& s) {
  const double lo[3] = {box.minX - margin, box.minY - margin, box.minZ - margin};
  const double hi[3] = {box.maxX + margin, box.maxY + margin, box.maxZ + margin};
  double enter = -1e300;
  double leave = 1e300;
  bool inside = true;  // the origin within every slab
  for (int a = 0; a < 3; ++a) {
    const bool within = lo[a] <= 0 && 0 <= hi[a];
    inside = inside && within;
    if (s.end[a] == 0) {
      if (!within) return false;
      continue;
    }
    const double tLo = lo[a] * s.inverse[a];
    const double tHi = hi[a] * s.inverse[a];
    const bool forward = s.inverse[a] > 0;
    const double t0 = forward ? tLo : tHi;
    const double t1 = forward ? tHi : tLo;
    enter = t0 > enter ? t0 : enter;
    leave = t1 < leave ? t1 : leave;
  }
  if (inside) return false;
  return enter <= leave && enter >= 0 && enter < 1 - 1e-4;
}

#if defined(__SSE2__)
// segmentEntersBox for the four segments from the origin to the points
// start + (k + lane) step, lane 0..3, with the box grown by marginAngle
// times each segment's length: in float, four at once (the difference lies
// far below a millimetre). Returns the lanes whose segment enters the box
// as bits 0..3, or -1 when a point has a coordinate at or next to zero,
// which the slab test must treat apart.
inline int segmentsEnterBox(const Cuboid& box, float marginAngle, const float start[3],
                            const float step[3], int k) {
  const __m128 offsets = _mm_add_ps(_mm_set1_ps(static_cast<float>(k)),
                                    _mm_set_ps(3.0f, 2.0f, 1.0f, 0.0f));
  __m128 p[3];
  const __m128 sign = _mm_set1_ps(-0.0f);
  __m128 zeroCoordinate = _mm_setzero_ps();
  for (int a = 0; a < 3; ++a) {
    p[a] = _mm_add_ps(_mm_set1_ps(start[a]), _mm_mul_ps(_mm_set1_ps(step[a]), offsets));
    // So small that its reciprocal could overflow.
    zeroCoordinate = _mm_or_ps(zeroCoordinate,
                               _mm_cmplt_ps(_mm_andnot_ps(sign, p[a]), _mm_set1_ps(1e-20f)));
  }
  if (_mm_movemask_ps(zeroCoordinate) != 0) return -1;
  const __m128 length = _mm_sqrt_ps(_mm_add_ps(
      _mm_add_ps(_mm_mul_ps(p[0], p[0]), _mm_mul_ps(p[1], p[1])), _mm_mul_ps(p[2], p[2])));
  const __m128 margin = _mm_mul_ps(_mm_set1_ps(marginAngle), length);
  const float lows[3] = {box.minX, box.minY, box.minZ};
  const float highs[3] = {box.maxX, box.maxY, box.maxZ};
  __m128 enter = _mm_set1_ps(-1e30f);
  __m128 leave = _mm_set1_ps(1e30f);
  __m128 inside = _mm_castsi128_ps(_mm_set1_epi32(-1));
  for (int a = 0; a < 3; ++a) {
    const __m128 lo = _mm_sub_ps(_mm_set1_ps(lows[a]), margin);
    const __m128 hi = _mm_add_ps(_mm_set1_ps(highs[a]), margin);
    inside = _mm_and_ps(inside, _mm_and_ps(_mm_cmple_ps(lo, _mm_setzero_ps()),
                                           _mm_cmple_ps(_mm_setzero_ps(), hi)));
    const __m128 inverse = _mm_div_ps(_mm_set1_ps(1.0f), p[a]);
    const __m128 tLo = _mm_mul_ps(lo, inverse);
    const __m128 tHi = _mm_mul_ps(hi, inverse);
    enter = _mm_max_ps(enter, _mm_min_ps(tLo, tHi));
    leave = _mm_min_ps(leave, _mm_max_ps(tLo, tHi));
  }
  const __m128 hidden = _mm_andnot_ps(
      inside, _mm_and_ps(_mm_cmple_ps(enter, leave),
                         _mm_and_ps(_mm_cmpge_ps(enter, _mm_setzero_ps()),
                                    _mm_cmplt_ps(enter, _mm_set1_ps(1.0f - 1e-4f)))));
  return _mm_movemask_ps(hidden);
}
#endif

}  // namespace roombox
