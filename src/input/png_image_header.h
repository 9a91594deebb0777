#pragma once

#include <cstdint>

namespace roombox {

// The fields of a PNG file's IHDR chunk, in file order.
struct PngImageHeader {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  int bitDepth = 0;     // bits per sample
  int colourType = 0;   // 0 grey, 2 truecolour, 3 palette, 4 grey + alpha, 6 truecolour + alpha
  int compression = 0;  // 0 is the only method defined (zlib)
  int filter = 0;       // 0 is the only method defined (the five adaptive row filters)
  int interlace = 0;    // 0 none, 1 Adam7
};

// Reads the 13 data bytes of an IHDR chunk at data.
PngImageHeader parsePngImageHeader(const unsigned char* data);

}  // namespace roombox
