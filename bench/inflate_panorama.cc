// The physical floor of decoding a PNG panorama: inflating its pixel stream
// alone, with nothing else a decode does (no row filters undone, no CRC
// checked, no memory taken from the kernel). Reads the file, gathers its
// IDAT data, then times one inflate of the whole stream into a buffer of the
// image's filtered rows, written once beforehand so that its page faults are
// not counted, with each of the two inflaters roombox's reader uses (ISA-L
// and libdeflate: which is faster depends on the stream).
// Usage: inflate_panorama <PNG path>. Prints the inflated size and the
// faster inflate's wall time in seconds, and on standard error each
// inflater's; exits 0 when the stream inflated, 2 when it did not.

#include <isa-l/igzip_lib.h>
#include <libdeflate.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

namespace {

std::uint32_t bigEndian32(const unsigned char* bytes) {
  return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
         (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::printf("Usage: %s <PNG path>\n", argv[0]);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::vector<unsigned char> file((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
  if (file.size() < 33) {
    std::printf("Cannot read %s\n", argv[1]);
    return 2;
  }
  const std::uint64_t width = bigEndian32(file.data() + 16);
  const std::uint64_t height = bigEndian32(file.data() + 20);
  const std::uint64_t channels = file[25] == 6 ? 4 : 3;
  std::vector<unsigned char> stream;
  for (std::size_t at = 8; at + 12 <= file.size();) {
    const std::size_t length = bigEndian32(file.data() + at);
    if (length > file.size() - at - 12) break;
    if (std::memcmp(file.data() + at + 4, "IDAT", 4) == 0) {
      stream.insert(stream.end(), file.begin() + at + 8, file.begin() + at + 8 + length);
    }
    at += 12 + length;
  }
  const std::size_t rawSize = height * (1 + width * channels);
  const std::unique_ptr<unsigned char[]> raw(new unsigned char[rawSize]);
  std::memset(raw.get(), 0, rawSize);
  using Clock = std::chrono::steady_clock;
  const std::unique_ptr<inflate_state> state(new inflate_state);
  const Clock::time_point isalStarted = Clock::now();
  isal_inflate_init(state.get());
  state->crc_flag = ISAL_ZLIB;
  state->next_in = stream.data();
  state->avail_in = static_cast<std::uint32_t>(stream.size());
  state->next_out = raw.get();
  state->avail_out = static_cast<std::uint32_t>(rawSize);
  const int status = isal_inflate(state.get());
  const double isalSeconds = std::chrono::duration<double>(Clock::now() - isalStarted).count();
  if (status != ISAL_DECOMP_OK || state->block_state != ISAL_BLOCK_FINISH ||
      state->total_out != rawSize) {
    std::printf("Cannot inflate %s\n", argv[1]);
    return 2;
  }

  libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
  const Clock::time_point libdeflateStarted = Clock::now();
  const libdeflate_result result = libdeflate_zlib_decompress(
      decompressor, stream.data(), stream.size(), raw.get(), rawSize, nullptr);
  const double libdeflateSeconds =
      std::chrono::duration<double>(Clock::now() - libdeflateStarted).count();
  libdeflate_free_decompressor(decompressor);
  if (result != LIBDEFLATE_SUCCESS) {
    std::printf("Cannot inflate %s\n", argv[1]);
    return 2;
  }
  std::fprintf(stderr, "ISA-L %.6f s, libdeflate %.6f s\n", isalSeconds, libdeflateSeconds);
  std::printf("%zu bytes inflated in %.6f s\n", rawSize,
              isalSeconds < libdeflateSeconds ? isalSeconds : libdeflateSeconds);
  return 0;
}
