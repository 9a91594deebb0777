#include "input/png_reader.h"

#include <libdeflate.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace roombox {

namespace {

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

// Whether the chunk at bytes (its length field) holds the CRC of its type
// and data. The caller has checked that the whole chunk lies in the file.
bool chunkCrcIsRight(const unsigned char* bytes, std::uint32_t length) {
  const unsigned char* typeAndData = bytes + 4;
  return libdeflate_crc32(0, typeAndData, 4 + static_cast<std::size_t>(length)) ==
         readBigEndian32(typeAndData + 4 + length);
}

// Reads the first kPngStartSize bytes of a file: a PNG signature and an
// intact IHDR chunk (right type, length and CRC), whose fields go to header.
// Returns false for any other start.
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

// Walks the chunks of the file in bytes[0, size) that follow its start
// (readPngStart has taken it) and records them in chunks. Returns true when
// the sequence is well formed: every chunk's length at most 2^31 - 1 (as no
// PNG chunk may declare more) and inside the file, every CRC right, at least
// one IDAT chunk, and an empty IEND chunk that ends the file exactly.
bool walkPngChunks(const unsigned char* bytes, std::size_t size, PngChunks& chunks) {
  chunks = PngChunks{};
  std::size_t position = kPngStartSize;
  for (;;) {
    if (size < position || size - position < 12) return false;
    const std::uint32_t length = readBigEndian32(bytes + position);
    if (length > 0x7fffffffu || length > size - position - 12) return false;
    if (!chunkCrcIsRight(bytes + position, length)) return false;
    const char* type = reinterpret_cast<const char*>(bytes + position + 4);
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

// Inflated, an image's stream is every row's filter-type byte and samples
// (4 bytes a pixel with alpha).
std::size_t filteredSize(const PngImageHeader& header) {
  const int channels = header.colourType == 6 ? 4 : 3;
  return static_cast<std::size_t>(header.height) *
         (1 + static_cast<std::size_t>(header.width) * channels);
}

// Whether the fast decoder takes an image of this header: an 8-bit
// truecolour image (colour type 2, or 6 with alpha) with the standard
// compression and filter methods, not interlaced, whose width and height are
// 1 to 1,000,000 pixels and at most 2^30 pixels in all: sizes that libpng and
// cv::imread both accept under their default limits. When one of OpenCV's
// image size limits is set in the environment, no image is taken, since
// cv::imread then judges sizes by it.
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

// Whether the fast decoder takes the chunks of an image it takes: IDAT
// chunks only, none of them longer than both 8,000,000 bytes and (roughly)
// the image's rows, which libpng warns about; such a file is left to it.
bool fastPathTakesChunks(const PngImageHeader& header, const PngChunks& chunks) {
  return chunks.onlyImageData &&
         chunks.longestIdat <= std::max<std::size_t>(8000000, filteredSize(header));
}

// Whether an image of this header stores exactly its decoded width x height
// pixels: 8-bit truecolour without alpha. Interlacing does not change the
// decoded pixels.
bool storesDecodedPixels(const PngImageHeader& header, int width, int height) {
  return header.width == static_cast<std::uint32_t>(width) &&
         header.height == static_cast<std::uint32_t>(height) && header.bitDepth == 8 &&
         header.colourType == 2;
}

// Whether a file of size bytes is far larger than the pixels its header
// declares: it holds little but chunk overhead or other data, and is not
// one the readers here load whole.
bool fileFarLargerThanPixels(std::uint64_t size, const PngImageHeader& header) {
  const std::uint64_t rawSize =
      std::uint64_t{header.height} * (1 + std::uint64_t{header.width} * 4);
  return size > rawSize + rawSize / 4 + (std::uint64_t{1} << 20);
}

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


// Undoes the PNG row filters of an 8-bit truecolour image in place and
// leaves its pixels in OpenCV's channel order. On entry buffer holds the
// image's inflated scanlines: height rows, each one filter-type byte followed
// by width pixels of channels bytes (3: red, green, blue; 4: the same and an
// alpha sample, which is dropped). On return its first height * width * 3
// bytes are the image's rows of blue, green, red pixels. Returns false when a
// row names a filter type other than 0 to 4 (None, Sub, Up, Average, Paeth);
// the buffer then holds partly undone rows.
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

// Decodes the image of a file held whole in bytes[0, size), whose start and
// chunks the fast path takes: gathers the IDAT data at the start of bytes as
// one zlib stream, inflates it and undoes the row filters. Returns an empty
// image when the stream is not one the fast path is sure of.
cv::Mat inflateImage(unsigned char* bytes, const PngImageHeader& header, const PngChunks& chunks) {
  const int width = static_cast<int>(header.width);
  const int height = static_cast<int>(header.height);
  const int channels = header.colourType == 6 ? 4 : 3;
  const std::size_t rawSize = filteredSize(header);
  // Chunks follow one another, so every IDAT chunk's data lies after the
  // data gathered before it.
  std::size_t gathered = 0;
  for (const IdatSpan& span : chunks.idat) {
    std::memmove(bytes + gathered, bytes + span.offset, span.length);
    gathered += span.length;
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

// Reads the regular file at path whole into bytes (its size set to the
// file's), when its start is a PNG start whose header `takes` accepts and
// the file is not far larger than its pixels; header gets the start's
// fields. Returns false, having read no more than the start, for any other
// file, and also when the file cannot be read or its length changes while
// it is read.
template <typename Takes>
bool readPngFile(const std::string& path, Takes takes, PngImageHeader& header,
                 std::vector<unsigned char>& bytes) {
  const std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (file == nullptr) return false;
  struct stat status {};
  if (fstat(fileno(file.get()), &status) != 0 || !S_ISREG(status.st_mode) ||
      status.st_size < static_cast<off_t>(kPngStartSize)) {
    return false;
  }
  unsigned char start[kPngStartSize];
  if (std::fread(start, 1, kPngStartSize, file.get()) != kPngStartSize ||
      !readPngStart(start, header) || !takes(header)) {
    return false;
  }
  const std::uint64_t size = static_cast<std::uint64_t>(status.st_size);
  if (fileFarLargerThanPixels(size, header)) return false;
  bytes.resize(static_cast<std::size_t>(size));
  std::memcpy(bytes.data(), start, kPngStartSize);
  const std::size_t rest = bytes.size() - kPngStartSize;
  // The file must still be exactly as long as it was when measured.
  return std::fread(bytes.data() + kPngStartSize, 1, rest, file.get()) == rest &&
         std::fgetc(file.get()) == EOF;
}

}  // namespace

cv::Mat decodePlainPng(unsigned char* bytes, std::size_t size) {
  PngImageHeader header;
  if (size < kPngStartSize || !readPngStart(bytes, header) || !fastPathTakesImage(header)) {
    return cv::Mat();
  }
  PngChunks chunks;
  if (!walkPngChunks(bytes, size, chunks) || !fastPathTakesChunks(header, chunks)) {
    return cv::Mat();
  }
  return inflateImage(bytes, header, chunks);
}

cv::Mat readPlainPng(const std::string& path) {
  PngImageHeader header;
  std::vector<unsigned char> bytes;
  if (!readPngFile(path, fastPathTakesImage, header, bytes)) return cv::Mat();
  // The start is already checked: only the chunks after it are walked.
  PngChunks chunks;
  if (!walkPngChunks(bytes.data(), bytes.size(), chunks) || !fastPathTakesChunks(header, chunks)) {
    return cv::Mat();
  }
  return inflateImage(bytes.data(), header, chunks);
}

bool isPlainTruecolourPng(const unsigned char* bytes, std::size_t size, int width, int height) {
  PngImageHeader header;
  PngChunks chunks;
  return size >= kPngStartSize && readPngStart(bytes, header) &&
         storesDecodedPixels(header, width, height) && walkPngChunks(bytes, size, chunks) &&
         !chunks.altersPixels;
}

bool readPlainTruecolourPng(const std::string& path, int width, int height,
                            std::vector<unsigned char>& bytes) {
  PngImageHeader header;
  const auto takes = [&](const PngImageHeader& h) { return storesDecodedPixels(h, width, height); };
  if (!readPngFile(path, takes, header, bytes)) return false;
  PngChunks chunks;
  return walkPngChunks(bytes.data(), bytes.size(), chunks) && !chunks.altersPixels;
}

}  // namespace roombox
