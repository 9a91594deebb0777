#include "input/read_plain_png.h"

#include "input/decode_plain_png.h"
#include "input/plain_png_start.h"

#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

namespace roombox {

cv::Mat readPlainPng(const std::string& path) {
  const std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (file == nullptr) return cv::Mat();
  struct stat status {};
  if (fstat(fileno(file.get()), &status) != 0 || !S_ISREG(status.st_mode) ||
      status.st_size < static_cast<off_t>(kPngStartSize)) {
    return cv::Mat();
  }
  unsigned char start[kPngStartSize];
  PngImageHeader header;
  if (std::fread(start, 1, kPngStartSize, file.get()) != kPngStartSize ||
      !readPlainPngStart(start, header)) {
    return cv::Mat();
  }
  // A file far larger than its pixels is not one the fast path takes (it
  // holds little but chunk overhead or other data); it is not loaded whole.
  const std::uint64_t size = static_cast<std::uint64_t>(status.st_size);
  const std::uint64_t rawSize =
      std::uint64_t{header.height} * (1 + std::uint64_t{header.width} * 4);
  if (size > rawSize + rawSize / 4 + (std::uint64_t{1} << 20)) return cv::Mat();

  const std::unique_ptr<unsigned char[]> bytes(new unsigned char[size]);
  std::memcpy(bytes.get(), start, kPngStartSize);
  const std::size_t rest = static_cast<std::size_t>(size) - kPngStartSize;
  // The file must still be exactly as long as it was when measured.
  if (std::fread(bytes.get() + kPngStartSize, 1, rest, file.get()) != rest ||
      std::fgetc(file.get()) != EOF) {
    return cv::Mat();
  }
  return decodePlainPng(bytes.get(), static_cast<std::size_t>(size));
}

}  // namespace roombox
