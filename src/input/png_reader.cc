#include "input/png_reader.h"

#include "input/png_chunks.h"
#include "input/png_rows.h"

#include <fcntl.h>
#include <isa-l/igzip_lib.h>
#include <libdeflate.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace roombox {

namespace {

// The inflater hands out its output in pieces of this size, after each of
// which the rows it completed can be undone. Images of at most two pieces
// are undone on the calling thread, as are all images when the caller asks
// for one thread.
constexpr std::size_t kInflatePiece = std::size_t{1} << 20;

// The IDAT data is handed to the inflater in pieces of this size, gathered
// from the chunks: the inflater works much faster on long input than across
// the short chunks encoders write (8 KiB is common), at each end of which it
// copies its whole window aside. A piece is at most what the file is read
// in at once.
constexpr std::size_t kInputPiece = PngBytes::kWindowSize;

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

// What inflateImage's two inflaters share: the file, its IDAT chunks, the
// image memory with its scanlines laid out as kScanlineLead describes
// (bufferSize bytes from buffer, rawSize of them scanlines), and the image's
// size.
struct InflateJob {
  PngBytes& bytes;
  const PngChunks& chunks;
  std::size_t streamSize;  // bytes of zlib stream over all IDAT chunks
  std::size_t rawSize;     // bytes of the image's filtered rows
  std::size_t bufferSize;
  unsigned char* buffer;   // the image's memory
  unsigned char* spare;    // after the buffer: room for inflateWhole to gather
                           // a stream of several chunks, or one read from a file
  bool freshMemory;        // the buffer's memory (its end at least) not yet
                           // taken from the kernel
  int width;
  int height;
  int channels;
};

// Inflates the stream piece by piece into the scanlines while a second
// thread undoes the row filters of the rows already inflated (unless threads
// is 1: then the calling thread undoes each piece's rows). Returns whether
// the stream made exactly the image's scanlines and every row was undone.
bool inflateStreaming(const InflateJob& job, int threads) {
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
        const unsigned char* data = job.bytes.at(chunk.offset + spanGathered, n);
        // A file cut short since its chunks were walked.
        if (data == nullptr) {
          good = false;
          break;
        }
        std::memcpy(input.get() + filled, data, n);
        filled += n;
        spanGathered += n;
        if (spanGathered < chunk.length) break;
      }
      if (!good) break;
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
  // libdeflate takes the stream in one piece: a single chunk's data in
  // memory is read where it lies; a file's, and more chunks, are gathered
  // first into the spare memory after the image's (which a reused image
  // brings along).
  const unsigned char* stream = nullptr;
  if (job.chunks.idat.size() == 1 && job.bytes.memory() != nullptr) {
    stream = job.bytes.memory() + job.chunks.idat.front().offset;
  } else {
    std::size_t filled = 0;
    for (const IdatSpan& chunk : job.chunks.idat) {
      if (!job.bytes.copy(chunk.offset, chunk.length, job.spare + filled)) return false;
      filled += chunk.length;
    }
    stream = job.spare;
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
// left empty. Returns an empty image when the stream is not one the fast
// path is sure of, or the file no longer holds it.
cv::Mat inflateImage(PngBytes& bytes, const PngImageHeader& header, const PngChunks& chunks,
                     int threads, cv::Mat* memory = nullptr) {
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
  const std::size_t spareSize =
      atOnce && (chunks.idat.size() > 1 || bytes.memory() == nullptr) ? streamSize : 0;
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
                       width,      height,      channels};
  const bool good = atOnce ? inflateWhole(job, threads) : inflateStreaming(job, threads);
  if (!good) return cv::Mat();
  image.resize(static_cast<std::size_t>(height));
  return image;
}

// Reads the start of the regular file open at fd when it is a PNG start
// whose header `takes` accepts and the file is not far larger than its
// pixels: header gets the start's fields, size the file's size. Returns
// false, having read no more than the start, for any other file, and also
// when the file cannot be read.
template <typename Takes>
bool readPngFileStart(int fd, Takes takes, PngImageHeader& header, std::size_t& size) {
  struct stat status {};
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
      status.st_size < static_cast<off_t>(kPngStartSize)) {
    return false;
  }
  unsigned char start[kPngStartSize];
  ssize_t n;
  do {
    n = pread(fd, start, kPngStartSize, 0);
  } while (n < 0 && errno == EINTR);
  if (n != static_cast<ssize_t>(kPngStartSize) || !readPngStart(start, header) ||
      !takes(header)) {
    return false;
  }
  const std::uint64_t fileSize = static_cast<std::uint64_t>(status.st_size);
  if (fileFarLargerThanPixels(fileSize, header) || fileSize > SIZE_MAX) return false;
  size = static_cast<std::size_t>(fileSize);
  return true;
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
  PngBytes source(bytes, size);
  PngChunks chunks;
  if (!walkPngChunks(source, chunks) || !fastPathTakesChunks(header, chunks)) return cv::Mat();
  return inflateImage(source, header, chunks, threads);
}

cv::Mat readPlainPng(const std::string& path, int threads, cv::Mat* memory) {
  const FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.fd < 0) return cv::Mat();
  PngImageHeader header;
  std::size_t size = 0;
  if (!readPngFileStart(file.fd, fastPathTakesImage, header, size)) return cv::Mat();
  // The start is already checked: only the chunks after it are walked. The
  // walk reads the whole file; the inflater reads it again in order.
  PngBytes source(file.fd, size);
  PngChunks chunks;
  if (!walkPngChunks(source, chunks) || !fastPathTakesChunks(header, chunks)) return cv::Mat();
  return inflateImage(source, header, chunks, threads, memory);
}

bool isPlainTruecolourPng(const unsigned char* bytes, std::size_t size, int width, int height) {
  PngImageHeader header;
  if (size < kPngStartSize || !readPngStart(bytes, header) ||
      !storesDecodedPixels(header, width, height)) {
    return false;
  }
  PngBytes source(bytes, size);
  PngChunks chunks;
  return walkPngChunks(source, chunks) && !chunks.altersPixels;
}

bool isPlainTruecolourPngFile(int fd, int width, int height) {
  PngImageHeader header;
  std::size_t size = 0;
  const auto takes = [&](const PngImageHeader& h) { return storesDecodedPixels(h, width, height); };
  if (!readPngFileStart(fd, takes, header, size)) return false;
  PngBytes source(fd, size);
  PngChunks chunks;
  return walkPngChunks(source, chunks) && !chunks.altersPixels;
}

}  // namespace roombox
