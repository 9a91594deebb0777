#include "input/png_bytes.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace roombox {

namespace {

// Reads up to length bytes of the file at fd from offset into out; returns
// how many it read, fewer at the file's end or on a read error.
std::size_t readAt(int fd, std::size_t offset, std::size_t length, unsigned char* out) {
  std::size_t done = 0;
  while (done < length) {
    const ssize_t n = pread(fd, out + done, length - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

}  // namespace

PngBytes::PngBytes(const unsigned char* bytes, std::size_t size) : memory_(bytes), size_(size) {}

PngBytes::PngBytes(int fd, std::size_t size) : fd_(fd), size_(size) {}

const unsigned char* PngBytes::at(std::size_t offset, std::size_t length) {
  if (offset > size_ || length > size_ - offset) return nullptr;
  if (memory_ != nullptr) return memory_ + offset;
  if (length > kWindowSize) return nullptr;
  if (offset >= windowOffset_ && offset - windowOffset_ <= windowLength_ &&
      length <= windowLength_ - (offset - windowOffset_)) {
    return window_.get() + (offset - windowOffset_);
  }
  if (window_ == nullptr) window_.reset(new unsigned char[kWindowSize]);
  windowOffset_ = offset;
  windowLength_ = readAt(fd_, offset, std::min(kWindowSize, size_ - offset), window_.get());
  return windowLength_ >= length ? window_.get() : nullptr;
}

bool PngBytes::copy(std::size_t offset, std::size_t length, unsigned char* out) {
  while (length > 0) {
    const std::size_t n = std::min(length, kWindowSize);
    const unsigned char* bytes = at(offset, n);
    if (bytes == nullptr) return false;
    std::memcpy(out, bytes, n);
    out += n;
    offset += n;
    length -= n;
  }
  return true;
}

}  // namespace roombox
