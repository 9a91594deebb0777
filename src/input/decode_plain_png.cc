#include "input/decode_plain_png.h"

#include "input/plain_png_start.h"
#include "input/png_chunk_header.h"
#include "input/unfilter_png_rows.h"

#include <libdeflate.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace roombox {

cv::Mat decodePlainPng(unsigned char* bytes, std::size_t size) {
  PngImageHeader header;
  if (size < kPngStartSize || !readPlainPngStart(bytes, header)) return cv::Mat();
  const int width = static_cast<int>(header.width);
  const int height = static_cast<int>(header.height);
  const int channels = header.colourType == 6 ? 4 : 3;
  // Inflated, the stream is every row's filter-type byte and samples.
  const std::size_t rawSize =
      static_cast<std::size_t>(height) * (1 + static_cast<std::size_t>(width) * channels);
  // libpng warns about an IDAT chunk longer than both 8,000,000 bytes and
  // (roughly) the image's rows; such a file is left to it.
  const std::size_t longestIdat = std::max<std::size_t>(8000000, rawSize);

  // The chunks after IHDR: IDAT chunks, whose data is moved together to the
  // start of bytes as one zlib stream, then IEND, which ends the file. Any
  // other chunk (even one libpng would skip) leaves the file to cv::imread.
  std::size_t position = kPngStartSize;
  std::size_t gathered = 0;
  int idatChunks = 0;
  PngChunkHeader chunk;
  for (;;) {
    if (size - position < 12 || !parsePngChunkHeader(bytes + position, chunk) ||
        chunk.length > size - position - 12) {
      return cv::Mat();
    }
    const unsigned char* typeAndData = bytes + position + 4;
    if (libdeflate_crc32(0, typeAndData, 4 + static_cast<std::size_t>(chunk.length)) !=
        readBigEndian32(typeAndData + 4 + chunk.length)) {
      return cv::Mat();
    }
    if (chunk.type == "IEND") {
      // IEND is empty and ends the file.
      if (chunk.length != 0 || idatChunks == 0 || position + 12 != size) {
        return cv::Mat();
      }
      break;
    }
    if (chunk.type != "IDAT" || chunk.length > longestIdat) return cv::Mat();
    std::memmove(bytes + gathered, bytes + position + 8, chunk.length);
    gathered += chunk.length;
    ++idatChunks;
    position += 12 + static_cast<std::size_t>(chunk.length);
  }

  // zlib (under libpng) refuses matches farther back than the window the
  // stream's header declares (2^(8 + CINFO) bytes) and libdeflate does not:
  // a smaller window than the full 32 KiB is taken only when it holds the
  // whole image.
  if (gathered < 2) return cv::Mat();
  const int windowBits = bytes[0] >> 4;
  if (windowBits > 7 || (windowBits < 7 && rawSize > (std::size_t{1} << (8 + windowBits)))) {
    return cv::Mat();
  }
  // Deflate makes at most 258 bytes of 2 bits: a stream far too short for
  // the image is left to cv::imread before any image memory is taken.
  if (rawSize / 1032 > gathered) return cv::Mat();

  // The image is made a few rows taller than it is, so that the scanlines
  // (one byte per row, and an alpha sample per pixel, longer than its BGR
  // rows) can be inflated straight into it; the rows are then undone in
  // place and the spare rows dropped, without a second copy of the image.
  const std::size_t outStride = static_cast<std::size_t>(width) * 3;
  const int rows = static_cast<int>((rawSize + outStride - 1) / outStride);
  cv::Mat image;
  try {
    image.create(rows, width, CV_8UC3);
  } catch (const cv::Exception& e) {
    if (e.code == cv::Error::StsNoMem) throw std::bad_alloc();
    return cv::Mat();
  }
  const std::unique_ptr<libdeflate_decompressor, void (*)(libdeflate_decompressor*)> decompressor(
      libdeflate_alloc_decompressor(), &libdeflate_free_decompressor);
  if (decompressor == nullptr) throw std::bad_alloc();
  std::size_t consumed = 0;
  // With no place for the inflated size, libdeflate fails unless the stream
  // inflates to exactly rawSize bytes.
  if (libdeflate_zlib_decompress_ex(decompressor.get(), bytes, gathered, image.data, rawSize,
                                    &consumed, nullptr) != LIBDEFLATE_SUCCESS ||
      consumed != gathered) {
    return cv::Mat();
  }
  if (!unfilterPngRows(image.data, width, height, channels)) return cv::Mat();
  image.resize(static_cast<std::size_t>(height));
  return image;
}

}  // namespace roombox
