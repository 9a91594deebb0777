#pragma once

// The structure of a PNG file as the panorama reader checks it: the start
// (signature and IHDR), the chunks after it and what the fast decoder takes.

#include "input/png_bytes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

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

// Bytes at the start of a PNG file up to the end of its IHDR chunk: the
// signature, then the chunk's length, type, 13 data bytes and CRC.
constexpr std::size_t kPngStartSize = 33;

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

// Where one IDAT chunk's data lies in the file.
struct IdatSpan {
  std::size_t offset;
  std::size_t length;
};

// What one walk over the chunks after IHDR found in a well-formed file.
struct PngChunks {
  bool onlyImageData = true;  // no chunk but IDAT before IEND
  bool altersPixels = false;  // a tRNS, eXIf or animation chunk
  std::size_t longestIdat = 0;
  std::vector<IdatSpan> idat;  // every IDAT chunk, in file order
};

// Reads the first kPngStartSize bytes of a file: a PNG signature and an
// intact IHDR chunk (right type, length and CRC), whose fields go to header.
// Returns false for any other start.
bool readPngStart(const unsigned char* bytes, PngImageHeader& header);

// Walks the chunks of the file in bytes that follow its start (readPngStart
// has taken it) and records them in chunks. Returns true when the sequence is
// well formed: every chunk's length at most 2^31 - 1 (as no PNG chunk may
// declare more) and inside the file, every CRC right, at least one IDAT
// chunk, and an empty IEND chunk that ends the file exactly. A file that no
// longer holds the bytes its size promised is not well formed.
bool walkPngChunks(PngBytes& bytes, PngChunks& chunks);

// Inflated, an image's stream is every row's filter-type byte and samples
// (4 bytes a pixel with alpha).
std::size_t filteredSize(const PngImageHeader& header);

// Whether the fast decoder takes an image of this header: an 8-bit
// truecolour image (colour type 2, or 6 with alpha) with the standard
// compression and filter methods, not interlaced, whose width and height are
// 1 to 1,000,000 pixels and at most 2^30 pixels in all: sizes that libpng and
// cv::imread both accept under their default limits. When one of OpenCV's
// image size limits is set in the environment, no image is taken, since
// cv::imread then judges sizes by it.
bool fastPathTakesImage(const PngImageHeader& header);

// Whether the fast decoder takes the chunks of an image it takes: IDAT
// chunks only, none of them longer than both 8,000,000 bytes and (roughly)
// the image's rows, which libpng warns about; such a file is left to it.
bool fastPathTakesChunks(const PngImageHeader& header, const PngChunks& chunks);

// Whether an image of this header stores exactly its decoded width x height
// pixels: 8-bit truecolour without alpha. Interlacing does not change the
// decoded pixels.
bool storesDecodedPixels(const PngImageHeader& header, int width, int height);

// Whether a file of size bytes is far larger than the pixels its header
// declares: it holds little but chunk overhead or other data, and is not
// one the readers here load whole.
bool fileFarLargerThanPixels(std::uint64_t size, const PngImageHeader& header);

// The first two bytes of the zlib stream spread over the IDAT chunks of a
// file, in header; false when the chunks (or the file) hold fewer.
bool zlibHeader(PngBytes& bytes, const PngChunks& chunks, unsigned char header[2]);

}  // namespace roombox
