#include "input/png_chunks.h"

#include <libdeflate.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace roombox {

namespace {

// Whether the chunk at bytes (its length field) holds the CRC of its type
// and data. The caller has checked that the whole chunk lies in the file.
bool chunkCrcIsRight(const unsigned char* bytes, std::uint32_t length) {
  const unsigned char* typeAndData = bytes + 4;
  return libdeflate_crc32(0, typeAndData, 4 + static_cast<std::size_t>(length)) ==
         readBigEndian32(typeAndData + 4 + length);
}

}  // namespace

bool readPngStart(const unsigned char* bytes, PngImageHeader& header) {
  if (std::memcmp(bytes, kPngSignature, 8) != 0) return false;
  if (readBigEndian32(bytes + 8) != 13 || std::memcmp(bytes + 12, "IHDR", 4) != 0) return false;
  if (!chunkCrcIsRight(bytes + 8, 13)) return false;
  const unsigned char* data = bytes + 16;
  header.width = readBigEndian32(data);
  header.height = readBigEndian32(data + 4);
  header.bitDepth = data[8];
  header.colourType = data[9];
  header.compression = data[10];
  header.filter = data[11];
  header.interlace = data[12];
  return true;
}

bool walkPngChunks(PngBytes& bytes, PngChunks& chunks) {
  chunks = PngChunks{};
  const std::size_t size = bytes.size();
  std::size_t position = kPngStartSize;
  for (;;) {
    if (size < position || size - position < 12) return false;
    const unsigned char* lengthAndType = bytes.at(position, 8);
    if (lengthAndType == nullptr) return false;
    const std::uint32_t length = readBigEndian32(lengthAndType);
    if (length > 0x7fffffffu || length > size - position - 12) return false;
    char type[4];
    std::memcpy(type, lengthAndType + 4, 4);
    // The CRC covers the type and the data, taken a window at a time.
    std::uint32_t crc = libdeflate_crc32(0, type, 4);
    for (std::size_t done = 0; done < length;) {
      const std::size_t n = std::min<std::size_t>(length - done, PngBytes::kWindowSize);
      const unsigned char* data = bytes.at(position + 8 + done, n);
      if (data == nullptr) return false;
      crc = libdeflate_crc32(crc, data, n);
      done += n;
    }
    const unsigned char* stored = bytes.at(position + 8 + length, 4);
    if (stored == nullptr || readBigEndian32(stored) != crc) return false;
    if (std::memcmp(type, "IEND", 4) == 0) {
      return length == 0 && !chunks.idat.empty() && position + 12 == size;
    }
    if (std::memcmp(type, "IDAT", 4) == 0) {
      chunks.idat.push_back(IdatSpan{position + 8, length});
      chunks.longestIdat = std::max<std::size_t>(chunks.longestIdat, length);
    } else {
      chunks.onlyImageData = false;
      for (const char* altering : {"tRNS", "eXIf", "acTL", "fcTL", "fdAT"}) {
        if (std::memcmp(type, altering, 4) == 0) chunks.altersPixels = true;
      }
    }
    position += 12 + static_cast<std::size_t>(length);
  }
}

std::size_t filteredSize(const PngImageHeader& header) {
  const int channels = header.colourType == 6 ? 4 : 3;
  return static_cast<std::size_t>(header.height) *
         (1 + static_cast<std::size_t>(header.width) * channels);
}

bool fastPathTakesImage(const PngImageHeader& header) {
  if (std::getenv("OPENCV_IO_MAX_IMAGE_WIDTH") != nullptr ||
      std::getenv("OPENCV_IO_MAX_IMAGE_HEIGHT") != nullptr ||
      std::getenv("OPENCV_IO_MAX_IMAGE_PIXELS") != nullptr) {
    return false;
  }
  constexpr std::uint32_t kLargestSide = 1000000;
  constexpr std::uint64_t kLargestArea = std::uint64_t{1} << 30;
  return header.bitDepth == 8 && (header.colourType == 2 || header.colourType == 6) &&
         header.compression == 0 && header.filter == 0 && header.interlace == 0 &&
         header.width >= 1 && header.width <= kLargestSide && header.height >= 1 &&
         header.height <= kLargestSide &&
         std::uint64_t{header.width} * header.height <= kLargestArea;
}

bool fastPathTakesChunks(const PngImageHeader& header, const PngChunks& chunks) {
  return chunks.onlyImageData &&
         chunks.longestIdat <= std::max<std::size_t>(8000000, filteredSize(header));
}

bool storesDecodedPixels(const PngImageHeader& header, int width, int height) {
  return header.width == static_cast<std::uint32_t>(width) &&
         header.height == static_cast<std::uint32_t>(height) && header.bitDepth == 8 &&
         header.colourType == 2;
}

bool fileFarLargerThanPixels(std::uint64_t size, const PngImageHeader& header) {
  const std::uint64_t rawSize =
      std::uint64_t{header.height} * (1 + std::uint64_t{header.width} * 4);
  return size > rawSize + rawSize / 4 + (std::uint64_t{1} << 20);
}

bool zlibHeader(PngBytes& bytes, const PngChunks& chunks, unsigned char header[2]) {
  int found = 0;
  for (const IdatSpan& span : chunks.idat) {
    for (std::size_t i = 0; i < span.length && found < 2; ++i) {
      const unsigned char* byte = bytes.at(span.offset + i, 1);
      if (byte == nullptr) return false;
      header[found++] = *byte;
    }
    if (found == 2) return true;
  }
  return false;
}

}  // namespace roombox
