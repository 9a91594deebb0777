#include "input/png_chunk_header.h"

namespace roombox {

bool parsePngChunkHeader(const unsigned char* bytes, PngChunkHeader& chunk) {
  chunk.length = readBigEndian32(bytes);
  chunk.type.assign(reinterpret_cast<const char*>(bytes) + 4, 4);
  return chunk.length <= 0x7fffffffu;
}

}  // namespace roombox
