// libFuzzer target for the panorama reader: every input is a panorama file.
// For a file with a PNG signature, readPanorama must give exactly what
// cv::imread gives (the same pixels, or Error with its message when
// cv::imread gives nothing); its fast path (decodePlainPng) must give the
// same pixels wherever it takes the file; and when the texture's byte copy
// would take the file, cv::imread must decode the file's stored samples
// (IMREAD_UNCHANGED) to exactly those pixels too. Any other file must be
// left by the fast path to cv::imread (whose other image formats are not
// fuzzed here). Each input is tried as it is and with the CRC of every
// complete chunk made right, so that mutations get past the CRC checks into
// the chunk walker, the image header checks and the inflater.
#include "input/png_files.h"
#include "input/png_reader.h"
#include "roombox/error.h"
#include "roombox/read_panorama.h"
#include "scratch_folder.h"

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace roombox {
namespace {

using pngfiles::imreadOrEmpty;
using pngfiles::samePixels;

void require(bool holds, const char* what) {
  if (!holds) {
    std::fprintf(stderr, "panorama fuzzer: %s\n", what);
    std::abort();
  }
}



// Width times height from the IHDR chunk's place; 0 for a shorter file.
std::uint64_t declaredPixels(const std::vector<unsigned char>& bytes) {
  if (bytes.size() < 24) return 0;
  return std::uint64_t{readBigEndian32(bytes.data() + 16)} * readBigEndian32(bytes.data() + 20);
}

// Whether a chunk's length reaches past the end of the file.
bool hasOverlongChunk(const std::vector<unsigned char>& bytes) {
  std::size_t at = 8;
  while (at + 8 <= bytes.size()) {
    const std::uint32_t length = readBigEndian32(bytes.data() + at);
    if (length > bytes.size() - at - 8) return true;
    at += 8 + std::size_t{length} + 4;
  }
  return false;
}

void check(const std::vector<unsigned char>& bytes) {
  std::vector<unsigned char> scratch = bytes;
  const cv::Mat fast = decodePlainPng(scratch.data(), scratch.size());
  if (bytes.size() < 8 || std::memcmp(bytes.data(), kPngSignature, 8) != 0) {
    require(fast.empty(), "the fast path took a file without a PNG signature");
    return;
  }
  // cv::imread takes the memory a header declares (an image's, a chunk's)
  // before it finds the data missing. A file declaring an image far larger
  // than an input can fill, or a chunk longer than the rest of the file, is
  // not handed to it when the fast path has left it alone (which it does
  // without taking that memory), so that the run stays within its memory
  // limit.
  if (fast.empty() &&
      (declaredPixels(bytes) > (std::uint64_t{1} << 22) || hasOverlongChunk(bytes))) {
    return;
  }
  const std::string path = scratchFolder() + "shifted_t.png";
  writeWholeFile(path, bytes.data(), bytes.size());
  const cv::Mat expected = imreadOrEmpty(path, cv::IMREAD_COLOR);
  if (!fast.empty()) require(samePixels(fast, expected), "the fast path differs from cv::imread");

  cv::Mat panorama;
  try {
    panorama = readPanorama(path);
  } catch (const Error& error) {
    require(error.what() == "Cannot open the texture image - " + path,
            "a failure with another message");
    require(expected.empty(), "readPanorama failed on a file cv::imread decodes");
    return;
  }
  require(samePixels(panorama, expected), "readPanorama differs from cv::imread");

  if (isPlainTruecolourPng(bytes.data(), bytes.size(), panorama.cols, panorama.rows)) {
    require(samePixels(imreadOrEmpty(path, cv::IMREAD_UNCHANGED), panorama),
            "the byte copy took a file whose stored samples are not the "
            "decoded pixels");
  }
}

}  // namespace
}  // namespace roombox

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<unsigned char> bytes(data, data + size);
  roombox::check(bytes);
  const std::string repairedText =
      pngfiles::withRightCrcs(std::string(bytes.begin(), bytes.end()));
  const std::vector<unsigned char> repaired(repairedText.begin(), repairedText.end());
  if (repaired != bytes) roombox::check(repaired);
  return 0;
}
