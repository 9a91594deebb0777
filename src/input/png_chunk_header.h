#pragma once

#include <cstdint>
#include <string>

namespace roombox {

// The eight bytes every PNG file starts with.
constexpr unsigned char kPngSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

// Reads a 4-byte big-endian unsigned number, the byte order of every number
// in a PNG file.
inline std::uint32_t readBigEndian32(const unsigned char* bytes) {
  return (static_cast<std::uint32_t>(bytes[0]) << 24) |
         (static_cast<std::uint32_t>(bytes[1]) << 16) |
         (static_cast<std::uint32_t>(bytes[2]) << 8) | static_cast<std::uint32_t>(bytes[3]);
}

// The 8 bytes in front of a chunk's data: the length of the data (its 4-byte
// CRC follows the data and is not counted) and the 4-letter chunk type.
struct PngChunkHeader {
  std::uint32_t length = 0;
  std::string type;
};

// Reads the chunk header in bytes[0, 8) into chunk. Returns false when the
// length is above 2^31 - 1, which no PNG chunk may declare.
bool parsePngChunkHeader(const unsigned char* bytes, PngChunkHeader& chunk);

}  // namespace roombox
