#pragma once

// The bytes of a PNG file as the panorama reader takes them: held whole in
// memory by the caller, or read from an open file as they are needed.

#include <cstddef>
#include <memory>

namespace roombox {

// Reads a file's bytes, or a block of memory's, through a window: a pointer
// to any range of at most kWindowSize bytes, read anew from the file only
// when the window does not hold it already. Ranges taken in file order
// (the chunk walk, the inflater's gathering) read each byte of the file
// once, a window at a time.
//
// A file is read with pread, never mapped into memory: another process may
// cut it short while it is read (a dataset being synced, a file rewritten
// in place), and a read then comes back short where a mapping would raise
// SIGBUS and end the whole process. Such a range is reported as missing and
// the file is refused like any other broken file.
class PngBytes {
 public:
  static constexpr std::size_t kWindowSize = std::size_t{1} << 20;

  // The size bytes at bytes, which the caller keeps for the reader's life.
  PngBytes(const unsigned char* bytes, std::size_t size);
  // The regular file open for reading at fd (which the caller keeps open),
  // of size bytes when its size was taken.
  PngBytes(int fd, std::size_t size);
  PngBytes(const PngBytes&) = delete;
  PngBytes& operator=(const PngBytes&) = delete;

  std::size_t size() const { return size_; }

  // The bytes [offset, offset + length), valid until the next call; null
  // when they are not all there: past size(), longer than kWindowSize for a
  // file, or no longer in the file (cut short, or a read error). Memory
  // gives any range inside it.
  const unsigned char* at(std::size_t offset, std::size_t length);

  // Copies [offset, offset + length) to out, a window at a time; false when
  // not all of it is there (as for at()).
  bool copy(std::size_t offset, std::size_t length, unsigned char* out);

  // The whole of the bytes when they are held in memory; null for a file.
  const unsigned char* memory() const { return memory_; }

 private:
  const unsigned char* memory_ = nullptr;
  int fd_ = -1;
  std::size_t size_ = 0;
  std::unique_ptr<unsigned char[]> window_;
  std::size_t windowOffset_ = 0;  // the file offset of window_[0]
  std::size_t windowLength_ = 0;  // bytes of the file in window_
};

}  // namespace roombox
