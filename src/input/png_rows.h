#pragma once

// The decoded image's rows while the panorama reader makes them: their
// layout in the image's memory, taking that memory from the kernel, and
// undoing the PNG row filters, on the inflating thread or beside it.

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>

namespace roombox {

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

// Asks the kernel to back the whole 2 MiB pages inside [data, data + size)
// with huge pages where it can: a large image is written once from start to
// end, and taking its memory 4 KiB page by page costs a page fault each, as
// much as a third of the inflater's time. Only a hint; nothing changes where
// the kernel declines.
void adviseHugePages(unsigned char* data, std::size_t size);

// Makes the kernel back [data, data + size) with memory now, without
// changing a byte of it (so it may run while another thread writes there).
// Only a hint; nothing changes where the kernel declines.
void prepareMemory(unsigned char* data, std::size_t size);

// Whether the page holding byte is in memory: memory a process took from the
// kernel, wrote and freed to its allocator stays so, and is not taken anew.
bool residentAt(const unsigned char* byte);

// Undoes the rows from row y on whose scanlines lie whole within the first
// `available` bytes of scanlines in buffer (laid out as kScanlineLead
// describes, channels 3 or 4 samples a pixel), advancing y past them.
// Returns false, y at the row, when a row names an unknown filter type.
bool undoAvailableRows(unsigned char* buffer, int width, int height, int channels,
                       std::size_t available, int& y);

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
                bool ownThread);
  RowUnfilterer(const RowUnfilterer&) = delete;
  RowUnfilterer& operator=(const RowUnfilterer&) = delete;
  ~RowUnfilterer();

  // Makes the first `inflated` bytes of scanlines available for undoing.
  // Returns false when a row already undone named an unknown filter type:
  // the inflater need not go on.
  bool publish(std::size_t inflated);

  // Called once the inflater has stopped with `inflated` bytes of scanlines:
  // undoes what is left and returns whether every row was undone.
  bool finish(std::size_t inflated);

 private:
  void stopAndJoin();

  unsigned char* buffer_;
  std::size_t bufferSize_;
  int width_;
  int height_;
  int channels_;
  RowHandOver handOver_;
  int undone_ = 0;
  std::thread thread_;
};

// Takes [data, data + size) from the kernel (see prepareMemory) on a thread
// of its own, from the end backwards a few MiB at a time, so that it meets
// an inflater writing the same memory from the start rather than racing it
// over the same pages; joined however the caller leaves. When no thread can
// be started nothing is done: the memory is then taken as it is written.
class BackwardMemoryPreparer {
 public:
  BackwardMemoryPreparer(unsigned char* data, std::size_t size);
  BackwardMemoryPreparer(const BackwardMemoryPreparer&) = delete;
  BackwardMemoryPreparer& operator=(const BackwardMemoryPreparer&) = delete;
  ~BackwardMemoryPreparer();

 private:
  std::thread thread_;
};

}  // namespace roombox
