#include "bake/sample_bilinear.h"

#include <algorithm>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace roombox {

namespace {

// Texels whose pixel addresses and weights are worked out at once.
constexpr int kBlock = 64;

// Writes to out the blend of pixels a0 and a1 (weights 2048 - wx and wx)
// above b0 and b1 (the same) by weights 2048 - wy and wy, rounded: along
// the row first and then across, the top and bottom holding 19 bits and
// their blend 30, which an int holds.
inline void blendFour(const unsigned char* a0, const unsigned char* a1, const unsigned char* b0,
                      const unsigned char* b1, int wx, int wy, unsigned char* out) {
  for (int ch = 0; ch < 3; ++ch) {
    const int top = (a0[ch] << 11) + (a1[ch] - a0[ch]) * wx;
    const int bottom = (b0[ch] << 11) + (b1[ch] - b0[ch]) * wx;
    const int v = (top << 11) + (bottom - top) * wy;
    out[ch] = static_cast<unsigned char>((v + (1 << 21)) >> 22);
  }
}

#if defined(__SSE2__)
// blendFour for a1 and b1 the pixels right after a0 and b0, with 8 bytes
// readable from a0 and from b0: all three channels at once. The row blends
// are exact integers; the last step runs in float, whose rounding (a
// hundred-thousandth of a level) shows only where a texel's exact value
// lies that close to halfway between two levels.
inline void blendPair(const unsigned char* a0, const unsigned char* b0, int wx, int wy,
                      unsigned char* out) {
  const __m128i zero = _mm_setzero_si128();
  // 16-bit lanes: left and right pixel of each channel side by side.
  __m128i top = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(a0)), zero);
  __m128i bottom =
      _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(b0)), zero);
  top = _mm_unpacklo_epi16(top, _mm_srli_si128(top, 6));
  bottom = _mm_unpacklo_epi16(bottom, _mm_srli_si128(bottom, 6));
  const __m128i weights = _mm_set1_epi32((wx << 16) | (2048 - wx));
  const __m128 topRow = _mm_cvtepi32_ps(_mm_madd_epi16(top, weights));
  const __m128 bottomRow = _mm_cvtepi32_ps(_mm_madd_epi16(bottom, weights));
  const __m128 v = _mm_add_ps(_mm_mul_ps(topRow, _mm_set1_ps(static_cast<float>(2048 - wy))),
                              _mm_mul_ps(bottomRow, _mm_set1_ps(static_cast<float>(wy))));
  __m128i levels = _mm_cvttps_epi32(
      _mm_mul_ps(_mm_add_ps(v, _mm_set1_ps(2097152.0f)), _mm_set1_ps(1.0f / 4194304.0f)));
  levels = _mm_packs_epi32(levels, levels);
  levels = _mm_packus_epi16(levels, levels);
  const std::uint32_t bgr = static_cast<std::uint32_t>(_mm_cvtsi128_si32(levels));
  out[0] = static_cast<unsigned char>(bgr);
  out[1] = static_cast<unsigned char>(bgr >> 8);
  out[2] = static_cast<unsigned char>(bgr >> 16);
}
#endif

}  // namespace

void sampleBilinear(const cv::Mat& panorama, const float* px, const float* py, int count,
                    unsigned char* bgr) {
  const int width = panorama.cols;
  const int height = panorama.rows;
  const std::size_t stride = panorama.step[0];
  const unsigned char* data = panorama.data;
  const int rowBytes = 3 * width;
  // Per texel: the row and byte column of its top-left pixel, the steps to
  // the pixel right of it (back to column 0 from the last one) in bytes and
  // below it (0 on the last row) in rows, and the integer weights of the
  // right and lower pixels, 11 bits each.
  int row[kBlock], column[kBlock], right[kBlock], down[kBlock], wx[kBlock], wy[kBlock];
  for (int k0 = 0; k0 < count; k0 += kBlock) {
    const int n = std::min(kBlock, count - k0);
    // Addresses and weights: arithmetic and selects only, which the
    // compiler vectorises.
    for (int k = 0; k < n; ++k) {
      const float x = px[k0 + k];
      const float y = py[k0 + k];
      // Positions lie above -1, so truncating x + 1 floors x without a
      // call. A position a rounding error below a whole number may land on
      // the pixel above it with a weight a rounding error below 0, which
      // the clamps keep to 0..1.
      const int left = static_cast<int>(x + 1.0f) - 1;
      const int top = static_cast<int>(y + 1.0f) - 1;
      float fx = x - static_cast<float>(left);
      float fy = y - static_cast<float>(top);
      fx = fx < 0 ? 0.0f : (fx > 1 ? 1.0f : fx);
      fy = fy < 0 ? 0.0f : (fy > 1 ? 1.0f : fy);
      int c0 = left < 0 ? left + width : (left >= width ? left - width : left);
      c0 = c0 < 0 ? 0 : (c0 >= width ? width - 1 : c0);  // positions far out of range
      const int r0 = top < 0 ? 0 : (top >= height ? height - 1 : top);
      const int r1 = top + 1 < 0 ? 0 : (top + 1 >= height ? height - 1 : top + 1);
      row[k] = r0;
      column[k] = 3 * c0;
      right[k] = c0 + 1 == width ? -3 * c0 : 3;
      down[k] = r1 - r0;
      wx[k] = static_cast<int>(fx * 2048.0f + 0.5f);
      wy[k] = static_cast<int>(fy * 2048.0f + 0.5f);
    }
    // The blend, along the row first and then across.
    unsigned char* out = bgr + 3 * k0;
    for (int k = 0; k < n; ++k) {
      const unsigned char* a0 = data + static_cast<std::size_t>(row[k]) * stride + column[k];
      const unsigned char* b0 = a0 + static_cast<std::size_t>(down[k]) * stride;
#if defined(__SSE2__)
      if (column[k] + 8 <= rowBytes) {
        blendPair(a0, b0, wx[k], wy[k], out + 3 * k);
        continue;
      }
#endif
      blendFour(a0, a0 + right[k], b0, b0 + right[k], wx[k], wy[k], out + 3 * k);
    }
  }
}

}  // namespace roombox
