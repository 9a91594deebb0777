#include "mesh/format_face_row.h"

#include <charconv>

namespace roombox {

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
