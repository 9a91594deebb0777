#include "input/png_reader.h"

#include <fcntl.h>
#include <isa-l/igzip_lib.h>
#include <libdeflate.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

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
// When passed is given, it is called with the offset of each chunk reached,
// before which no byte is read again.
bool walkPngChunks(const unsigned char* bytes, std::size_t size, PngChunks& chunks,
                   const std::function<void(std::size_t)>& passed = nullptr) {
  chunks = PngChunks{};
  std::size_t position = kPngStartSize;
  for (;;) {
    if (passed) passed(position);
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

#if defined(__x86_64__)
// Undoes the Sub filter of a row of RGB samples five pixels at a time with
// 16-byte vectors, writing BGR pixels to out, for as long as a whole 16-byte load and
// store stay inside the row; returns the number of pixels undone and leaves
// the last one's samples in red, green and blue. Each block is a prefix sum
// of its samples at a stride of 3 bytes (shifted adds by 3, 6 and 12 bytes),
// plus the block before's last pixel; the 16th byte stored is overwritten by
// the next block or the caller. out must not lie after samples. Compiled
// for AVX2 so that the instructions are VEX-encoded: the inflater runs AVX2
// and AVX-512 code, and legacy SSE instructions after it run much slower.
__attribute__((target("avx2"))) int unfilterSubRgbBlocks(const unsigned char* samples,
                                                          unsigned char* out, int width,
                                                          unsigned& red, unsigned& green,
                                                          unsigned& blue) {
  const __m128i toBgr = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
  const __m128i lastPixel = _mm_setr_epi8(12, 13, 14, 12, 13, 14, 12, 13, 14, 12, 13, 14, 12, 13,
                                          14, 12);
  __m128i carry = _mm_setr_epi8(static_cast<char>(red), static_cast<char>(green),
                                static_cast<char>(blue), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  carry = _mm_shuffle_epi8(_mm_slli_si128(carry, 12), lastPixel);
  int x = 0;
  for (; x + 6 <= width; x += 5) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(samples + 3 * x));
    v = _mm_add_epi8(v, _mm_slli_si128(v, 3));
    v = _mm_add_epi8(v, _mm_slli_si128(v, 6));
    v = _mm_add_epi8(v, _mm_slli_si128(v, 12));
    v = _mm_add_epi8(v, carry);
    carry = _mm_shuffle_epi8(v, lastPixel);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 3 * x), _mm_shuffle_epi8(v, toBgr));
  }
  if (x > 0) {
    red = static_cast<unsigned>(_mm_extract_epi16(carry, 0) & 0xff);
    green = static_cast<unsigned>(_mm_extract_epi16(carry, 0) >> 8);
    blue = static_cast<unsigned>(_mm_extract_epi16(carry, 1) & 0xff);
  }
  return x;
}
#endif

// Undoes one row's filter. samples are the row's filtered samples (Channels
// per pixel: red, green, blue and, with 4, alpha, which is dropped), above
// the row before it already undone (BGR, 3 per pixel) or null for the first
// row, out where the row's BGR pixels go. out may start before samples in the
// same buffer but never overlaps the samples of a later pixel: each pixel's
// samples are all read before any of its bytes is written. Returns false for
// an unknown filter type.
template <int Channels>
bool unfilterRow(int filter, const unsigned char* samples, const unsigned char* above,
                 unsigned char* out, int width) {
  // Above the first row every sample counts as 0: Up then equals None and
  // Paeth equals Sub.
  if (above == nullptr && filter == 2) filter = 0;
  if (above == nullptr && filter == 4) filter = 1;
  unsigned red = 0;
  unsigned green = 0;
  unsigned blue = 0;
  const auto put = [](unsigned char* pixel, unsigned r, unsigned g, unsigned b) {
    pixel[0] = static_cast<unsigned char>(b);
    pixel[1] = static_cast<unsigned char>(g);
    pixel[2] = static_cast<unsigned char>(r);
  };
  switch (filter) {
    case 0:  // None
      for (int x = 0; x < width; ++x, samples += Channels, out += 3) {
        put(out, samples[0], samples[1], samples[2]);
      }
      return true;
    case 1: {  // Sub: plus the sample to the left
      int x = 0;
#if defined(__x86_64__)
      // The filter OpenCV writes every row with: worth a vector loop.
      if (Channels == 3 && __builtin_cpu_supports("avx2")) {
        x = unfilterSubRgbBlocks(samples, out, width, red, green, blue);
        samples += 3 * x;
        out += 3 * x;
      }
#endif
      for (; x < width; ++x, samples += Channels, out += 3) {
        red = (samples[0] + red) & 0xff;
        green = (samples[1] + green) & 0xff;
        blue = (samples[2] + blue) & 0xff;
        put(out, red, green, blue);
      }
      return true;
    }
    case 2:  // Up: plus the sample above
      for (int x = 0; x < width; ++x, samples += Channels, out += 3, above += 3) {
        put(out, samples[0] + above[2], samples[1] + above[1], samples[2] + above[0]);
      }
      return true;
    case 3:  // Average: plus the floor of the mean of left and above
      for (int x = 0; x < width; ++x, samples += Channels, out += 3) {
        const unsigned upRed = above == nullptr ? 0 : above[3 * x + 2];
        const unsigned upGreen = above == nullptr ? 0 : above[3 * x + 1];
        const unsigned upBlue = above == nullptr ? 0 : above[3 * x];
        red = (samples[0] + ((red + upRed) >> 1)) & 0xff;
        green = (samples[1] + ((green + upGreen) >> 1)) & 0xff;
        blue = (samples[2] + ((blue + upBlue) >> 1)) & 0xff;
        put(out, red, green, blue);
      }
      return true;
    case 4: {  // Paeth: plus the Paeth predictor of left, above and above left
      int upLeftRed = 0;
      int upLeftGreen = 0;
      int upLeftBlue = 0;
      for (int x = 0; x < width; ++x, samples += Channels, out += 3, above += 3) {
        const int upRed = above[2];
        const int upGreen = above[1];
        const int upBlue = above[0];
        red = (samples[0] + paeth(static_cast<int>(red), upRed, upLeftRed)) & 0xff;
        green = (samples[1] + paeth(static_cast<int>(green), upGreen, upLeftGreen)) & 0xff;
        blue = (samples[2] + paeth(static_cast<int>(blue), upBlue, upLeftBlue)) & 0xff;
        put(out, red, green, blue);
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

// Where the decoder keeps an image while it inflates and unfilters it: one
// buffer, the image's own memory, a few rows taller than the image. Row y's
// inflated scanline (its filter-type byte, then width pixels of channels
// bytes) lies at kScanlineLead + y * inStride, and its undone BGR pixels go
// to y * outStride, so that the image's rows are undone in place, each at or
// before its scanline, without a second copy of the image. The lead keeps
// every byte a row's undoing writes more than a deflate window (32 KiB)
// behind the inflater's output position, since the inflater reads its
// history back from the output: inStride > outStride, so the last byte row y
// writes, (y + 1) * outStride, lies before kScanlineLead + (y + 1) * inStride
// - 32 KiB, and row y is undone only once that much has been inflated.
constexpr std::size_t kScanlineLead = std::size_t{1} << 16;

// The inflater hands out its output in pieces of this size, after each of
// which the rows it completed can be undone. Images of at most two pieces
// are undone on the calling thread, as are all images when the caller asks
// for one thread.
constexpr std::size_t kInflatePiece = std::size_t{1} << 20;

// The IDAT data is handed to the inflater in pieces of this size, gathered
// from the chunks: the inflater works much faster on long input than across
// the short chunks encoders write (8 KiB is common), at each end of which it
// copies its whole window aside.
constexpr std::size_t kInputPiece = std::size_t{1} << 20;

// Asks the kernel to back the whole 2 MiB pages inside [data, data + size)
// with huge pages where it can: a large image is written once from start to
// end, and taking its memory 4 KiB page by page costs a page fault each, as
// much as a third of the inflater's time. Only a hint; nothing changes where
// the kernel declines.
void adviseHugePages(unsigned char* data, std::size_t size) {
#ifdef MADV_HUGEPAGE
  constexpr std::uintptr_t kHugePage = std::uintptr_t{1} << 21;
  const std::uintptr_t begin = (reinterpret_cast<std::uintptr_t>(data) + kHugePage - 1) & ~(kHugePage - 1);
  const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~(kHugePage - 1);
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
  (void)data;
  (void)size;
#endif
}

// How far ahead of the inflater the unfiltering thread takes the memory the
// inflater will write.
constexpr std::size_t kPrepareAhead = std::size_t{16} << 20;

// Makes the kernel back [data, data + size) with memory now, without
// changing a byte of it (so it may run while another thread writes there).
// Only a hint; nothing changes where the kernel declines.
void prepareMemory(unsigned char* data, std::size_t size) {
#ifdef MADV_POPULATE_WRITE
  const std::uintptr_t page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const std::uintptr_t begin = (reinterpret_cast<std::uintptr_t>(data) + page - 1) & ~(page - 1);
  const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~(page - 1);
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#else
  (void)data;
  (void)size;
#endif
}

// What the inflating thread and the unfiltering thread share. The inflater
// raises `inflated` (bytes of scanlines available) and sets `finished` when
// it stops, successful or not; the unfilterer sets `badFilter` when a row
// names an unknown filter type, after which the inflater stops early.
struct RowHandOver {
  std::mutex mutex;
  std::condition_variable changed;
  std::size_t inflated = 0;
  bool finished = false;
  bool badFilter = false;
};

// Undoes the rows from row y on whose scanlines lie whole within the first
// `available` bytes of scanlines in buffer (laid out as kScanlineLead
// describes), advancing y past them. Returns false, y at the row, when a row
// names an unknown filter type.
template <int Channels>
bool undoAvailableRows(unsigned char* buffer, int width, int height, std::size_t available,
                       int& y) {
  const std::size_t inStride = 1 + static_cast<std::size_t>(width) * Channels;
  const std::size_t outStride = static_cast<std::size_t>(width) * 3;
  for (; y < height && (y + 1) * inStride <= available; ++y) {
    const unsigned char* in = buffer + kScanlineLead + y * inStride;
    unsigned char* out = buffer + y * outStride;
    const unsigned char* above = y == 0 ? nullptr : out - outStride;
    if (!unfilterRow<Channels>(in[0], in + 1, above, out, width)) return false;
  }
  return true;
}

bool undoAvailableRows(unsigned char* buffer, int width, int height, int channels,
                       std::size_t available, int& y) {
  return channels == 4 ? undoAvailableRows<4>(buffer, width, height, available, y)
                       : undoAvailableRows<3>(buffer, width, height, available, y);
}

// Undoes the rows of an image whose scanlines are inflated into buffer (laid
// out as kScanlineLead describes), row by row as the inflater makes them
// available through handOver, until every row is undone, a row names an
// unknown filter type (badFilter is then set), or the inflater finishes
// before a row is complete. Returns the number of rows undone. Never throws.
int unfilterRowsAsInflated(unsigned char* buffer, int width, int height, int channels,
                           RowHandOver& handOver, std::size_t prepareUpTo) {
  const std::size_t inStride = 1 + static_cast<std::size_t>(width) * channels;
  std::size_t prepared = 0;
  std::size_t available = 0;
  int y = 0;
  while (y < height) {
    // While the inflater works, the memory it is about to write is taken
    // from the kernel here, on this thread, so that its page faults (and the
    // zeroing of the pages) do not hold the inflater up.
    const std::size_t prepareEnd =
        std::min(prepareUpTo, kScanlineLead + available + kPrepareAhead);
    if (prepareEnd > prepared) {
      prepareMemory(buffer + prepared, prepareEnd - prepared);
      prepared = prepareEnd;
    }
    {
      std::unique_lock<std::mutex> lock(handOver.mutex);
      const std::size_t rowEnd = (y + 1) * inStride;
      handOver.changed.wait(lock,
                            [&] { return handOver.finished || handOver.inflated >= rowEnd; });
      available = handOver.inflated;
    }
    const int y0 = y;
    if (!undoAvailableRows(buffer, width, height, channels, available, y)) {
      const std::lock_guard<std::mutex> lock(handOver.mutex);
      handOver.badFilter = true;
      return y;
    }
    if (y == y0) break;  // finished with a row incomplete
  }
  return y;
}

// Runs the unfiltering of an image on a thread of its own while the caller
// inflates, and joins it however the caller leaves (an exception included):
// the thread is told the inflater has finished first, so that it does not
// wait for rows that will not come. Without a thread of its own (none asked
// for, or none could be started) the rows are undone on the caller's thread
// as each inflated piece is published.
class RowUnfilterer {
 public:
  // buffer holds bufferSize bytes, laid out as kScanlineLead describes.
  RowUnfilterer(unsigned char* buffer, std::size_t bufferSize, int width, int height, int channels,
                bool ownThread)
      : buffer_(buffer), bufferSize_(bufferSize), width_(width), height_(height),
        channels_(channels) {
    if (!ownThread) return;
    try {
      thread_ = std::thread([this] {
        undone_ =
            unfilterRowsAsInflated(buffer_, width_, height_, channels_, handOver_, bufferSize_);
      });
    } catch (const std::system_error&) {
      // Left to finish(), on this thread.
    }
  }
  RowUnfilterer(const RowUnfilterer&) = delete;
  RowUnfilterer& operator=(const RowUnfilterer&) = delete;
  ~RowUnfilterer() { stopAndJoin(); }

  // Makes the first `inflated` bytes of scanlines available for undoing.
  // Returns false when a row already undone named an unknown filter type:
  // the inflater need not go on.
  bool publish(std::size_t inflated) {
    if (!thread_.joinable()) {
      // Without a thread of its own the rows are undone here, piece by
      // piece, while the piece just inflated is still in the cache.
      if (!undoAvailableRows(buffer_, width_, height_, channels_, inflated, undone_)) {
        handOver_.badFilter = true;
      }
      return !handOver_.badFilter;
    }
    bool badFilter = false;
    {
      const std::lock_guard<std::mutex> lock(handOver_.mutex);
      handOver_.inflated = inflated;
      badFilter = handOver_.badFilter;
    }
    handOver_.changed.notify_one();
    return !badFilter;
  }

  // Called once the inflater has stopped with `inflated` bytes of scanlines:
  // undoes what is left and returns whether every row was undone.
  bool finish(std::size_t inflated) {
    if (thread_.joinable()) {
      {
        const std::lock_guard<std::mutex> lock(handOver_.mutex);
        handOver_.inflated = inflated;
      }
      stopAndJoin();
    } else if (!handOver_.badFilter &&
               !undoAvailableRows(buffer_, width_, height_, channels_, inflated, undone_)) {
      handOver_.badFilter = true;
    }
    return undone_ == height_ && !handOver_.badFilter;
  }

 private:
  void stopAndJoin() {
    if (!thread_.joinable()) return;
    {
      const std::lock_guard<std::mutex> lock(handOver_.mutex);
      handOver_.finished = true;
    }
    handOver_.changed.notify_one();
    thread_.join();
  }

  unsigned char* buffer_;
  std::size_t bufferSize_;
  int width_;
  int height_;
  int channels_;
  RowHandOver handOver_;
  int undone_ = 0;
  std::thread thread_;
};

// The first two bytes of the zlib stream spread over the IDAT chunks of a
// file, in header; false when the chunks hold fewer.
bool zlibHeader(const unsigned char* bytes, const PngChunks& chunks, unsigned char header[2]) {
  int found = 0;
  for (const IdatSpan& span : chunks.idat) {
    for (std::size_t i = 0; i < span.length && found < 2; ++i) {
      header[found++] = bytes[span.offset + i];
    }
    if (found == 2) return true;
  }
  return false;
}

// Whether the memory of image, an image the caller no longer uses, can hold
// an 8-bit BGR image of rows x width in place: nothing else shares it, and it
// is one whole continuous block of at least that many rows of that width.
bool holdsRows(const cv::Mat& image, int rows, int width) {
  return image.u != nullptr && image.u->refcount == 1 && image.dims == 2 &&
         image.type() == CV_8UC3 && image.cols == width && image.isContinuous() &&
         !image.isSubmatrix() && image.data == image.datastart &&
         static_cast<std::size_t>(image.datalimit - image.datastart) / image.step[0] >=
             static_cast<std::size_t>(rows);
}

// Whether the page holding byte is in memory: memory a process took from the
// kernel, wrote and freed to its allocator stays so, and is not taken anew.
bool residentAt(const unsigned char* byte) {
  const std::uintptr_t page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  unsigned char state = 0;
  void* start = reinterpret_cast<void*>(reinterpret_cast<std::uintptr_t>(byte) & ~(page - 1));
  return mincore(start, 1, &state) == 0 && (state & 1) != 0;
}

// Takes [data, data + size) from the kernel (see prepareMemory) on a thread
// of its own, from the end backwards a few MiB at a time, so that it meets
// an inflater writing the same memory from the start rather than racing it
// over the same pages; joined however the caller leaves. When no thread can
// be started nothing is done: the memory is then taken as it is written.
class BackwardMemoryPreparer {
 public:
  BackwardMemoryPreparer(unsigned char* data, std::size_t size) {
    try {
      thread_ = std::thread([data, size] {
        constexpr std::size_t kStep = std::size_t{4} << 20;
        for (std::size_t end = size; end > 0;) {
          const std::size_t begin = end > kStep ? end - kStep : 0;
          prepareMemory(data + begin, end - begin);
          end = begin;
        }
      });
    } catch (const std::system_error&) {
      // The inflater takes the memory itself.
    }
  }
  BackwardMemoryPreparer(const BackwardMemoryPreparer&) = delete;
  BackwardMemoryPreparer& operator=(const BackwardMemoryPreparer&) = delete;
  ~BackwardMemoryPreparer() {
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::thread thread_;
};

// What inflateImage's two inflaters share: the file, its IDAT chunks, the
// image memory with its scanlines laid out as kScanlineLead describes
// (bufferSize bytes from buffer, rawSize of them scanlines), and the image's
// size.
struct InflateJob {
  const unsigned char* bytes;
  const PngChunks& chunks;
  std::size_t streamSize;  // bytes of zlib stream over all IDAT chunks
  std::size_t rawSize;     // bytes of the image's filtered rows
  std::size_t bufferSize;
  unsigned char* buffer;   // the image's memory
  unsigned char* spare;    // after the buffer: room for inflateWhole to gather
                           // a stream of several chunks
  bool freshMemory;        // the buffer's memory (its end at least) not yet
                           // taken from the kernel
  int width;
  int height;
  int channels;
  const std::function<void(std::size_t)>& release;
};

// Inflates the stream piece by piece into the scanlines while a second
// thread undoes the row filters of the rows already inflated (unless threads
// is 1: then the calling thread undoes each piece's rows). Returns whether
// the stream made exactly the image's scanlines and every row was undone.
bool inflateStreaming(const InflateJob& job, int threads) {
  const unsigned char* bytes = job.bytes;
  const PngChunks& chunks = job.chunks;
  unsigned char* scanlines = job.buffer + kScanlineLead;
  // The inflater's state holds tables and a window copy (some 100 KiB): on
  // the heap, not on a caller's stack.
  const std::unique_ptr<inflate_state> inflaterState(new inflate_state);
  inflate_state& inflater = *inflaterState;
  isal_inflate_init(&inflater);
  inflater.crc_flag = ISAL_ZLIB;  // the header and the Adler-32 checked too
  inflater.next_out = scanlines;
  inflater.avail_in = 0;
  RowUnfilterer unfilterer(job.buffer, job.bufferSize, job.width, job.height, job.channels,
                           threads != 1 && job.rawSize > 2 * kInflatePiece);
  const std::unique_ptr<unsigned char[]> input(
      new unsigned char[std::min(kInputPiece, std::max<std::size_t>(job.streamSize, 1))]);
  bool good = true;
  std::size_t outLeft = job.rawSize + 1;
  std::size_t span = 0;          // the next chunk to gather from
  std::size_t spanGathered = 0;  // bytes of it gathered already
  while (good && inflater.block_state != ISAL_BLOCK_FINISH) {
    if (inflater.avail_in == 0) {
      std::size_t filled = 0;
      for (; span < chunks.idat.size() && filled < kInputPiece; spanGathered = 0, ++span) {
        const IdatSpan& chunk = chunks.idat[span];
        const std::size_t n = std::min(chunk.length - spanGathered, kInputPiece - filled);
        std::memcpy(input.get() + filled, bytes + chunk.offset + spanGathered, n);
        filled += n;
        spanGathered += n;
        if (spanGathered < chunk.length) break;
      }
      if (job.release != nullptr && filled > 0) {
        job.release(span < chunks.idat.size()
                        ? chunks.idat[span].offset + spanGathered
                        : chunks.idat.back().offset + chunks.idat.back().length);
      }
      inflater.next_in = input.get();
      inflater.avail_in = static_cast<std::uint32_t>(filled);
    }
    const std::size_t piece = std::min(outLeft, kInflatePiece);
    const std::uint32_t inBefore = inflater.avail_in;
    inflater.avail_out = static_cast<std::uint32_t>(piece);
    const int status = isal_inflate(&inflater);
    const std::size_t made = piece - inflater.avail_out;
    outLeft -= made;
    if (status != ISAL_DECOMP_OK || outLeft == 0) good = false;
    // No input taken and no output made: the stream ends before its end.
    if (made == 0 && inflater.avail_in == inBefore &&
        inflater.block_state != ISAL_BLOCK_FINISH) {
      good = false;
    }
    if (!unfilterer.publish(static_cast<std::size_t>(inflater.next_out - scanlines))) {
      good = false;
    }
  }
  // The stream must end exactly where the IDAT data does, having made
  // exactly the image's scanlines.
  good = good && inflater.block_state == ISAL_BLOCK_FINISH && inflater.avail_in == 0 &&
         outLeft == 1 && span == chunks.idat.size();
  return unfilterer.finish(good ? job.rawSize : 0) && good;
}

// Inflates the whole stream at once with libdeflate, then undoes every row's
// filter on the calling thread (threads as for inflateStreaming: unless it
// is 1, a second thread takes fresh memory from the kernel meanwhile).
// Returns whether the stream made exactly the image's scanlines and every
// row was undone.
bool inflateWhole(const InflateJob& job, int threads) {
  // Fresh memory is taken from the kernel page by page as it is first
  // written, which can cost more than inflating into it (on a virtual
  // machine whose host hands memory back, several times more): a second
  // thread takes it from the end while the inflater writes from the start.
  std::unique_ptr<BackwardMemoryPreparer> preparer;
  if (threads != 1 && job.freshMemory && job.rawSize > 2 * kInflatePiece) {
    preparer.reset(new BackwardMemoryPreparer(job.buffer, job.bufferSize));
  }
  // libdeflate takes the stream in one piece: a single chunk's data is read
  // where it lies, more chunks are gathered first into the spare memory
  // after the image's (which a reused image brings along).
  const unsigned char* stream = job.bytes + job.chunks.idat.front().offset;
  if (job.chunks.idat.size() > 1) {
    std::size_t filled = 0;
    for (const IdatSpan& chunk : job.chunks.idat) {
      std::memcpy(job.spare + filled, job.bytes + chunk.offset, chunk.length);
      filled += chunk.length;
    }
    stream = job.spare;
    if (job.release != nullptr) {
      job.release(job.chunks.idat.back().offset + job.chunks.idat.back().length);
    }
  }
  const std::unique_ptr<libdeflate_decompressor, void (*)(libdeflate_decompressor*)> inflater(
      libdeflate_alloc_decompressor(), libdeflate_free_decompressor);
  if (inflater == nullptr) throw std::bad_alloc();
  // The stream must be used up exactly, and make exactly the scanlines: the
  // spare byte of room shows a stream that makes more.
  std::size_t used = 0;
  std::size_t made = 0;
  const libdeflate_result result = libdeflate_zlib_decompress_ex(
      inflater.get(), stream, job.streamSize, job.buffer + kScanlineLead, job.rawSize + 1, &used,
      &made);
  if (result != LIBDEFLATE_SUCCESS || used != job.streamSize || made != job.rawSize) return false;
  int y = 0;
  return undoAvailableRows(job.buffer, job.width, job.height, job.channels, job.rawSize, y) &&
         y == job.height;
}

// Streams that inflate to at least this many times their size are mostly
// long matches, which libdeflate copies about three times as fast as ISA-L;
// streams of mostly literals (photographs inflate to 2 to 3 times their
// size) are half again as fast with ISA-L, which also lets the row filters
// be undone as the rows come. The two are about even near ratio 10.
constexpr std::size_t kWholeInflateRatio = 16;

// Decodes the image of a file held whole in bytes, whose start and chunks
// the fast path takes: inflates the zlib stream spread over its IDAT chunks
// into the image's memory and undoes the row filters, streaming (see
// inflateStreaming; threads as there) or, for a stream that inflates to many
// times its size, at once (see inflateWhole). When memory is given, the
// image is decoded into its memory where holdsRows allows, and memory is
// left empty. When release is given, it is
// called with the file offset before which no byte is read again, as the
// data is gathered. Returns an empty image when the stream is not one the
// fast path is sure of.
cv::Mat inflateImage(const unsigned char* bytes, const PngImageHeader& header,
                     const PngChunks& chunks, int threads, cv::Mat* memory = nullptr,
                     const std::function<void(std::size_t)>& release = nullptr) {
  const int width = static_cast<int>(header.width);
  const int height = static_cast<int>(header.height);
  const int channels = header.colourType == 6 ? 4 : 3;
  const std::size_t rawSize = filteredSize(header);
  std::size_t streamSize = 0;
  for (const IdatSpan& span : chunks.idat) streamSize += span.length;

  // A zlib header of deflate without a preset dictionary, whose check bits
  // are right. zlib (under libpng) refuses matches farther back than the
  // window the header declares (2^(8 + CINFO) bytes) and the inflater here
  // does not: a smaller window than the full 32 KiB is taken only when it
  // holds the whole image.
  unsigned char zlib[2];
  if (!zlibHeader(bytes, chunks, zlib)) return cv::Mat();
  if ((zlib[0] & 0x0f) != 8 || (zlib[1] & 0x20) != 0 || ((zlib[0] << 8) | zlib[1]) % 31 != 0) {
    return cv::Mat();
  }
  const int windowBits = zlib[0] >> 4;
  if (windowBits > 7 || (windowBits < 7 && rawSize > (std::size_t{1} << (8 + windowBits)))) {
    return cv::Mat();
  }
  // Deflate makes at most 258 bytes of 2 bits: a stream far too short for
  // the image is left to cv::imread before any image memory is taken.
  if (rawSize / 1032 > streamSize) return cv::Mat();

  // One spare byte past the scanlines tells a stream that inflates to more
  // than the image from one that inflates to exactly its rows. A stream
  // inflated at once is gathered after them.
  const bool atOnce = rawSize / kWholeInflateRatio >= streamSize;
  const std::size_t outStride = static_cast<std::size_t>(width) * 3;
  const std::size_t bufferSize = kScanlineLead + rawSize + 1;
  const std::size_t spareSize = atOnce && chunks.idat.size() > 1 ? streamSize : 0;
  const int rows = static_cast<int>((bufferSize + spareSize + outStride - 1) / outStride);
  cv::Mat image;
  if (memory != nullptr) {
    if (holdsRows(*memory, rows, width)) {
      image = std::move(*memory);
      image.resize(static_cast<std::size_t>(rows));
    }
    // Memory too small is let go before new memory is taken.
    memory->release();
  }
  try {
    if (image.empty()) image.create(rows, width, CV_8UC3);
  } catch (const cv::Exception& e) {
    if (e.code == cv::Error::StsNoMem) throw std::bad_alloc();
    return cv::Mat();
  }
  adviseHugePages(image.data, image.dataend - image.data);

  const InflateJob job{bytes,      chunks,      streamSize, rawSize, bufferSize,
                       image.data, image.data + bufferSize,   !residentAt(image.data + bufferSize - 1),
                       width,      height,      channels,   release};
  const bool good = atOnce ? inflateWhole(job, threads) : inflateStreaming(job, threads);
  if (!good) return cv::Mat();
  image.resize(static_cast<std::size_t>(height));
  return image;
}

// A regular file mapped read-only into memory whole, unmapped when it goes
// out of scope; bytes is null when it could not be mapped.
struct MappedFile {
  const unsigned char* bytes = nullptr;
  std::size_t size = 0;
  std::size_t released = 0;  // the pages before this offset are let go

  // Lets go of the pages of the file before offset, which are not read
  // again soon: the file's pages count to the process's resident memory
  // while mapped, and the decoder keeps its memory to the image's. They are
  // read again from the page cache should they be touched.
  // Pages are let go 1 MiB at a time at least.
  void releaseBefore(std::size_t offset) {
    const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    const std::size_t end = std::min(offset, size) / page * page;
    if (end < released + (std::size_t{1} << 20) && end < size / page * page) return;
    if (end <= released) return;
    madvise(const_cast<unsigned char*>(bytes) + released, end - released, MADV_DONTNEED);
    released = end;
  }

  MappedFile() = default;
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;
  ~MappedFile() {
    if (bytes != nullptr) munmap(const_cast<unsigned char*>(bytes), size);
  }
};

// Maps the regular file open at fd whole into mapped, when its start is a
// PNG start whose header `takes` accepts and the file is not far larger than
// its pixels; header gets the start's fields. Returns false, having read no
// more than the start, for any other file, and also when the file cannot be
// read or mapped.
template <typename Takes>
bool mapPngFile(int fd, Takes takes, PngImageHeader& header, MappedFile& mapped) {
  struct stat status {};
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
      status.st_size < static_cast<off_t>(kPngStartSize)) {
    return false;
  }
  unsigned char start[kPngStartSize];
  if (pread(fd, start, kPngStartSize, 0) != static_cast<ssize_t>(kPngStartSize) ||
      !readPngStart(start, header) || !takes(header)) {
    return false;
  }
  const std::uint64_t size = static_cast<std::uint64_t>(status.st_size);
  if (fileFarLargerThanPixels(size, header) || size > SIZE_MAX) return false;
  void* address = mmap(nullptr, static_cast<std::size_t>(size), PROT_READ, MAP_PRIVATE, fd, 0);
  if (address == MAP_FAILED) return false;
  mapped.bytes = static_cast<const unsigned char*>(address);
  mapped.size = static_cast<std::size_t>(size);
  // The file is read once from start to end.
  madvise(address, mapped.size, MADV_SEQUENTIAL);
  // It must still start as it did when its header was read.
  return std::memcmp(mapped.bytes, start, kPngStartSize) == 0;
}

// A file descriptor closed when it goes out of scope.
struct FileDescriptor {
  int fd;
  explicit FileDescriptor(int descriptor) : fd(descriptor) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd >= 0) close(fd);
  }
};

}  // namespace

cv::Mat decodePlainPng(const unsigned char* bytes, std::size_t size, int threads) {
  PngImageHeader header;
  if (size < kPngStartSize || !readPngStart(bytes, header) || !fastPathTakesImage(header)) {
    return cv::Mat();
  }
  PngChunks chunks;
  if (!walkPngChunks(bytes, size, chunks) || !fastPathTakesChunks(header, chunks)) {
    return cv::Mat();
  }
  return inflateImage(bytes, header, chunks, threads);
}

cv::Mat readPlainPng(const std::string& path, int threads, cv::Mat* memory) {
  const FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.fd < 0) return cv::Mat();
  PngImageHeader header;
  MappedFile mapped;
  if (!mapPngFile(file.fd, fastPathTakesImage, header, mapped)) return cv::Mat();
  // The start is already checked: only the chunks after it are walked.
  PngChunks chunks;
  const auto release = [&](std::size_t offset) { mapped.releaseBefore(offset); };
  if (!walkPngChunks(mapped.bytes, mapped.size, chunks, release) ||
      !fastPathTakesChunks(header, chunks)) {
    return cv::Mat();
  }
  // The walk has read the whole file; the inflater reads it again in order.
  mapped.released = 0;
  return inflateImage(mapped.bytes, header, chunks, threads, memory, release);
}

bool isPlainTruecolourPng(const unsigned char* bytes, std::size_t size, int width, int height) {
  PngImageHeader header;
  PngChunks chunks;
  return size >= kPngStartSize && readPngStart(bytes, header) &&
         storesDecodedPixels(header, width, height) && walkPngChunks(bytes, size, chunks) &&
         !chunks.altersPixels;
}

bool isPlainTruecolourPngFile(int fd, int width, int height) {
  PngImageHeader header;
  MappedFile mapped;
  const auto takes = [&](const PngImageHeader& h) { return storesDecodedPixels(h, width, height); };
  if (!mapPngFile(fd, takes, header, mapped)) return false;
  PngChunks chunks;
  return walkPngChunks(mapped.bytes, mapped.size, chunks,
                       [&](std::size_t offset) { mapped.releaseBefore(offset); }) &&
         !chunks.altersPixels;
}

}  // namespace roombox
