#include "input/plain_png_start.h"

#include "input/png_chunk_header.h"

#include <libdeflate.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace roombox {

bool readPlainPngStart(const unsigned char* bytes, PngImageHeader& header) {
  if (std::getenv("OPENCV_IO_MAX_IMAGE_WIDTH") != nullptr ||
      std::getenv("OPENCV_IO_MAX_IMAGE_HEIGHT") != nullptr ||
      std::getenv("OPENCV_IO_MAX_IMAGE_PIXELS") != nullptr) {
    return false;
  }
  if (std::memcmp(bytes, kPngSignature, 8) != 0) return false;
  PngChunkHeader chunk;
  if (!parsePngChunkHeader(bytes + 8, chunk) || chunk.type != "IHDR" || chunk.length != 13) {
    return false;
  }
  // The CRC covers the chunk type and data.
  if (libdeflate_crc32(0, bytes + 12, 4 + 13) != readBigEndian32(bytes + 29)) return false;
  header = parsePngImageHeader(bytes + 16);
  constexpr std::uint32_t kLargestSide = 1000000;
  constexpr std::uint64_t kLargestArea = std::uint64_t{1} << 30;
  return header.bitDepth == 8 && (header.colourType == 2 || header.colourType == 6) &&
         header.compression == 0 && header.filter == 0 && header.interlace == 0 &&
         header.width >= 1 && header.width <= kLargestSide && header.height >= 1 &&
         header.height <= kLargestSide &&
         std::uint64_t{header.width} * header.height <= kLargestArea;
}

}  // namespace roombox
