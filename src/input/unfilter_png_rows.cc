#include "input/unfilter_png_rows.h"

#include <cstddef>
#include <cstdlib>

namespace roombox {

namespace {

// The Paeth predictor: of the sample to the left (a), above (b) and above
// left (c), the one closest to a + b - c, preferring a, then b.
inline int paeth(int a, int b, int c) {
  const int pa = std::abs(b - c);
  const int pb = std::abs(a - c);
  const int pc = std::abs(a + b - 2 * c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

// Undoes one row's filter. samples are the row's filtered samples (channels
// per pixel), above the row before it already undone (BGR, 3 per pixel) or
// null for the first row, out where the row's BGR pixels go. out may start
// before samples in the same buffer but never overlaps the samples of a later
// pixel: each pixel's samples are all read before any of its bytes is
// written. Returns false for an unknown filter type.
bool unfilterRow(int filter, const unsigned char* samples, const unsigned char* above,
                 unsigned char* out, int width, int channels) {
  // Above the first row every sample counts as 0: Up then equals None and
  // Paeth equals Sub.
  if (above == nullptr && filter == 2) filter = 0;
  if (above == nullptr && filter == 4) filter = 1;
  int red = 0;
  int green = 0;
  int blue = 0;
  switch (filter) {
    case 0:  // None
      for (int x = 0; x < width; ++x) {
        const unsigned char* in = samples + static_cast<std::ptrdiff_t>(x) * channels;
        red = in[0];
        green = in[1];
        blue = in[2];
        out[3 * x] = static_cast<unsigned char>(blue);
        out[3 * x + 1] = static_cast<unsigned char>(green);
        out[3 * x + 2] = static_cast<unsigned char>(red);
      }
      return true;
    case 1:  // Sub: plus the sample to the left
      for (int x = 0; x < width; ++x) {
        const unsigned char* in = samples + static_cast<std::ptrdiff_t>(x) * channels;
        red = (in[0] + red) & 0xff;
        green = (in[1] + green) & 0xff;
        blue = (in[2] + blue) & 0xff;
        out[3 * x] = static_cast<unsigned char>(blue);
        out[3 * x + 1] = static_cast<unsigned char>(green);
        out[3 * x + 2] = static_cast<unsigned char>(red);
      }
      return true;
    case 2:  // Up: plus the sample above
      for (int x = 0; x < width; ++x) {
        const unsigned char* in = samples + static_cast<std::ptrdiff_t>(x) * channels;
        red = (in[0] + above[3 * x + 2]) & 0xff;
        green = (in[1] + above[3 * x + 1]) & 0xff;
        blue = (in[2] + above[3 * x]) & 0xff;
        out[3 * x] = static_cast<unsigned char>(blue);
        out[3 * x + 1] = static_cast<unsigned char>(green);
        out[3 * x + 2] = static_cast<unsigned char>(red);
      }
      return true;
    case 3:  // Average: plus the floor of the mean of left and above
      for (int x = 0; x < width; ++x) {
        const unsigned char* in = samples + static_cast<std::ptrdiff_t>(x) * channels;
        const int upRed = above == nullptr ? 0 : above[3 * x + 2];
        const int upGreen = above == nullptr ? 0 : above[3 * x + 1];
        const int upBlue = above == nullptr ? 0 : above[3 * x];
        red = (in[0] + ((red + upRed) >> 1)) & 0xff;
        green = (in[1] + ((green + upGreen) >> 1)) & 0xff;
        blue = (in[2] + ((blue + upBlue) >> 1)) & 0xff;
        out[3 * x] = static_cast<unsigned char>(blue);
        out[3 * x + 1] = static_cast<unsigned char>(green);
        out[3 * x + 2] = static_cast<unsigned char>(red);
      }
      return true;
    case 4: {  // Paeth: plus the Paeth predictor of left, above and above left
      int upLeftRed = 0;
      int upLeftGreen = 0;
      int upLeftBlue = 0;
      for (int x = 0; x < width; ++x) {
        const unsigned char* in = samples + static_cast<std::ptrdiff_t>(x) * channels;
        const int upRed = above[3 * x + 2];
        const int upGreen = above[3 * x + 1];
        const int upBlue = above[3 * x];
        red = (in[0] + paeth(red, upRed, upLeftRed)) & 0xff;
        green = (in[1] + paeth(green, upGreen, upLeftGreen)) & 0xff;
        blue = (in[2] + paeth(blue, upBlue, upLeftBlue)) & 0xff;
        out[3 * x] = static_cast<unsigned char>(blue);
        out[3 * x + 1] = static_cast<unsigned char>(green);
        out[3 * x + 2] = static_cast<unsigned char>(red);
        upLeftRed = upRed;
        upLeftGreen = upGreen;
        upLeftBlue = upBlue;
      }
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

bool unfilterPngRows(unsigned char* buffer, int width, int height, int channels) {
  const std::size_t inStride = 1 + static_cast<std::size_t>(width) * channels;
  const std::size_t outStride = static_cast<std::size_t>(width) * 3;
  const unsigned char* above = nullptr;
  for (int y = 0; y < height; ++y) {
    const unsigned char* in = buffer + y * inStride;
    unsigned char* out = buffer + y * outStride;
    if (!unfilterRow(in[0], in + 1, above, out, width, channels)) return false;
    above = out;
  }
  return true;
}

}  // namespace roombox
