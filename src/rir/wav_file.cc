#include "roombox/impulse_response.h"

#include "common/output_file.h"
#include "roombox/error.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace roombox {

namespace {

// WAVE_FORMAT_IEEE_FLOAT, for any channel count: the extensible header
// would name a speaker layout, which Ambisonic channels do not have.
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint32_t kFormatBytes = 18;

void put16(std::string& out, std::uint32_t v) {
  out.push_back(char(v & 0xFF));
  out.push_back(char((v >> 8) & 0xFF));
}

void put32(std::string& out, std::uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

}  // namespace

void writeImpulseResponseWav(const ImpulseResponse& response, const std::string& path) {
  const std::uint32_t channels = std::uint32_t(response.channels);
  const std::uint32_t frames = std::uint32_t(response.frames());
  const std::uint32_t dataBytes = frames * channels * 4;
  std::string header = "RIFF";
  put32(header, 4 + (8 + kFormatBytes) + (8 + 4) + (8 + dataBytes));
  header += "WAVEfmt ";
  put32(header, kFormatBytes);
  put16(header, kFormatFloat);
  put16(header, channels);
  put32(header, std::uint32_t(response.sampleRate));
  put32(header, std::uint32_t(response.sampleRate) * channels * 4);
  put16(header, channels * 4);
  put16(header, 32);
  put16(header, 0);  // no extension
  header += "fact";
  put32(header, 4);
  put32(header, frames);
  header += "data";
  put32(header, dataBytes);

  OutputFile out;
  openOutputFile(path, out);
  std::fwrite(header.data(), 1, header.size(), out.file);
  std::string block;
  block.reserve(1 << 16);
  for (float sample : response.samples) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &sample, sizeof bits);
    put32(block, bits);
    if (block.size() >= (1 << 16)) {
      std::fwrite(block.data(), 1, block.size(), out.file);
      block.clear();
    }
  }
  std::fwrite(block.data(), 1, block.size(), out.file);
  closeOutputFile(out);
}

}  // namespace roombox
