#include "mesh/number_format.h"

#include "common/c_locale.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace roombox {

int truncateToInt(float value) {
  if (value >= 2147483648.0f) return INT_MAX;
  if (value <= -2147483648.0f) return INT_MIN;
  if (!(value == value)) return 0;
  return static_cast<int>(value);
}

char* formatFixed(double value, char* out) {
  // Below 2^53 in magnitude every finite value is m * 2^e with m < 2^53,
  // so value * 10^6 is (m * 10^6) * 2^e with m * 10^6 < 2^73: exact in 128
  // bits. Everything else (rare: huge values, infinities, NaN) goes to
  // printf itself.
  if (!(std::fabs(value) < 9007199254740992.0)) {
    const CLocaleScope cLocale;  // a decimal point, whatever the locale
    return out + std::snprintf(out, 320, "%f", value);
  }
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  if (bits >> 63) *out++ = '-';
  const int biased = static_cast<int>((bits >> 52) & 0x7ff);
  const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
  const std::uint64_t mantissa = biased == 0 ? fraction : fraction | (std::uint64_t{1} << 52);
  const int exponent = biased == 0 ? -1074 : biased - 1075;

  // Millionths, rounded to nearest with ties to even, as printf rounds in
  // the default rounding mode.
  using Wide = unsigned __int128;
  const Wide scaled = static_cast<Wide>(mantissa) * 1000000u;
  Wide millionths = 0;
  if (exponent >= 0) {
    millionths = scaled << exponent;
  } else if (exponent > -128) {
    const int shift = -exponent;
    millionths = scaled >> shift;
    const Wide rest = scaled & ((Wide{1} << shift) - 1);
    const Wide half = Wide{1} << (shift - 1);
    if (rest > half || (rest == half && (millionths & 1) != 0)) ++millionths;
  }
  // else: below 2^-127 * 2^73, far less than half a millionth; rounds to 0.

  const std::uint64_t whole = static_cast<std::uint64_t>(millionths / 1000000u);
  std::uint64_t decimals = static_cast<std::uint64_t>(millionths % 1000000u);
  out = std::to_chars(out, out + 24, whole).ptr;
  *out++ = '.';
  for (int d = 5; d >= 0; --d) {
    out[d] = static_cast<char>('0' + decimals % 10);
    decimals /= 10;
  }
  return out + 6;
}

char* formatFaceRow(const int* corners, FaceRowStyle style, char* out) {
  *out++ = style == FaceRowStyle::kOff ? '4' : 'f';
  for (int k = 0; k < 4; ++k) {
    // Widened before adding 1, so INT_MAX gives 2147483648 as "%lld" does.
    const long long index = style == FaceRowStyle::kOff ? corners[k] : corners[k] + 1LL;
    *out++ = ' ';
    out = std::to_chars(out, out + 24, index).ptr;
    if (style == FaceRowStyle::kTexturedObj) {
      *out++ = '/';
      out = std::to_chars(out, out + 24, index).ptr;
    }
  }
  *out++ = '\n';
  return out;
}

}  // namespace roombox
