#include "input/png_image_header.h"

#include "input/png_chunk_header.h"

namespace roombox {

PngImageHeader parsePngImageHeader(const unsigned char* data) {
  PngImageHeader header;
  header.width = readBigEndian32(data);
  header.height = readBigEndian32(data + 4);
  header.bitDepth = data[8];
  header.colourType = data[9];
  header.compression = data[10];
  header.filter = data[11];
  header.interlace = data[12];
  return header;
}

}  // namespace roombox
