#include "input/plain_truecolour_png_size.h"

#include "input/png_chunk_header.h"
#include "input/png_image_header.h"

#include <cstdint>
#include <cstring>

namespace roombox {

long long plainTruecolourPngSize(FILE* file, int width, int height) {
  unsigned char bytes[13];
  if (std::fread(bytes, 1, 8, file) != 8 || std::memcmp(bytes, kPngSignature, 8) != 0) return -1;
  long long size = 8;
  bool first = true;
  PngChunkHeader chunk;
  for (;;) {
    if (std::fread(bytes, 1, 8, file) != 8 || !parsePngChunkHeader(bytes, chunk)) return -1;
    if (first) {
      // IHDR. Interlacing does not change the decoded pixels.
      if (chunk.type != "IHDR" || chunk.length != 13 || std::fread(bytes, 1, 13, file) != 13) {
        return -1;
      }
      const PngImageHeader header = parsePngImageHeader(bytes);
      if (header.width != static_cast<std::uint32_t>(width) ||
          header.height != static_cast<std::uint32_t>(height) || header.bitDepth != 8 ||
          header.colourType != 2) {
        return -1;
      }
      if (std::fseek(file, 4, SEEK_CUR) != 0) return -1;
      first = false;
    } else {
      if (chunk.type == "tRNS" || chunk.type == "eXIf" || chunk.type == "acTL" ||
          chunk.type == "fcTL" || chunk.type == "fdAT") {
        return -1;
      }
      if (std::fseek(file, static_cast<long>(chunk.length) + 4, SEEK_CUR) != 0) return -1;
    }
    size += 12 + static_cast<long long>(chunk.length);
    if (chunk.type == "IEND") {
      // Seeking past the end succeeds; reading tells whether the file ends
      // exactly here.
      if (std::fseek(file, size - 1, SEEK_SET) != 0 || std::fgetc(file) == EOF) return -1;
      return std::fgetc(file) == EOF ? size : -1;
    }
  }
}

}  // namespace roombox
