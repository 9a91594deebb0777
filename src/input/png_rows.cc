#include "input/png_rows.h"

#include <sys/mman.h>
#include <unistd.h>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <system_error>

namespace roombox {

namespace {

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

// How far ahead of the inflater the unfiltering thread takes the memory the
// inflater will write.
constexpr std::size_t kPrepareAhead = std::size_t{16} << 20;

// undoAvailableRows for images of Channels samples a pixel.
template <int Channels>
bool undoAvailableRowsOf(unsigned char* buffer, int width, int height, std::size_t available,
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

// Gives the kernel advice on the whole blocks of `block` bytes (a power of
// two, aligned to it) inside [data, data + size), if any.
[[maybe_unused]] void adviseWholeBlocks(unsigned char* data, std::size_t size,
                                        std::uintptr_t block, int advice) {
  const std::uintptr_t begin = (reinterpret_cast<std::uintptr_t>(data) + block - 1) & ~(block - 1);
  const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~(block - 1);
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, advice);
}

}  // namespace

void adviseHugePages(unsigned char* data, std::size_t size) {
#ifdef MADV_HUGEPAGE
  adviseWholeBlocks(data, size, std::uintptr_t{1} << 21, MADV_HUGEPAGE);
#else
  (void)data;
  (void)size;
#endif
}

void prepareMemory(unsigned char* data, std::size_t size) {
#ifdef MADV_POPULATE_WRITE
  adviseWholeBlocks(data, size, static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE)),
                    MADV_POPULATE_WRITE);
#else
  (void)data;
  (void)size;
#endif
}

bool residentAt(const unsigned char* byte) {
  const std::uintptr_t page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  unsigned char state = 0;
  void* start = reinterpret_cast<void*>(reinterpret_cast<std::uintptr_t>(byte) & ~(page - 1));
  return mincore(start, 1, &state) == 0 && (state & 1) != 0;
}

bool undoAvailableRows(unsigned char* buffer, int width, int height, int channels,
                       std::size_t available, int& y) {
  return channels == 4 ? undoAvailableRowsOf<4>(buffer, width, height, available, y)
                       : undoAvailableRowsOf<3>(buffer, width, height, available, y);
}

RowUnfilterer::RowUnfilterer(unsigned char* buffer, std::size_t bufferSize, int width,
                             int height, int channels, bool ownThread)
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

RowUnfilterer::~RowUnfilterer() { stopAndJoin(); }

bool RowUnfilterer::publish(std::size_t inflated) {
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

bool RowUnfilterer::finish(std::size_t inflated) {
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

void RowUnfilterer::stopAndJoin() {
  if (!thread_.joinable()) return;
  {
    const std::lock_guard<std::mutex> lock(handOver_.mutex);
    handOver_.finished = true;
  }
  handOver_.changed.notify_one();
  thread_.join();
}

BackwardMemoryPreparer::BackwardMemoryPreparer(unsigned char* data, std::size_t size) {
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

BackwardMemoryPreparer::~BackwardMemoryPreparer() {
  if (thread_.joinable()) thread_.join();
}

}  // namespace roombox
