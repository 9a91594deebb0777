// With no extra views the texture is the panorama itself. When the panorama
// file is a plain 8-bit truecolour PNG its bytes are written unchanged;
// every other file is encoded anew from the decoded panorama. Either way the
// texture decodes to exactly the panorama's pixels.

#include "roombox/merge_textures.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace roombox {
namespace {

cv::Mat patternImage(int width, int height, int type) {
  cv::Mat image(height, width, type);
  cv::randu(image, cv::Scalar::all(0), cv::Scalar::all(250));
  return image;
}

std::string encodePng(const cv::Mat& image) {
  std::vector<unsigned char> bytes;
  EXPECT_TRUE(cv::imencode(".png", image, bytes));
  return std::string(bytes.begin(), bytes.end());
}

std::uint32_t crc32(const std::string& bytes) {
  std::uint32_t crc = 0xffffffffu;
  for (const char c : bytes) {
    crc ^= static_cast<unsigned char>(c);
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

std::string bigEndian(std::uint32_t value) {
  return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
          static_cast<char>(value >> 8), static_cast<char>(value)};
}

// png with one more chunk (with a correct CRC) right after its IHDR chunk.
std::string withChunk(const std::string& png, const std::string& type, const std::string& data) {
  const std::size_t afterHeader = 8 + 8 + 13 + 4;
  const std::string chunk = bigEndian(static_cast<std::uint32_t>(data.size())) + type + data +
                            bigEndian(crc32(type + data));
  return png.substr(0, afterHeader) + chunk + png.substr(afterHeader);
}

// Runs the texture merge on panorama file bytes; returns the texture file's
// bytes and sets panorama to the panorama the merge returned.
std::string mergeFile(const TempDir& dir, const std::string& bytes, cv::Mat& panorama) {
  dir.write("shifted_t.png", bytes);
  panorama = mergeTextures(dir.path(), "room-texture.png");
  return dir.read("room-texture.png");
}

std::string mergeFile(const TempDir& dir, const std::string& bytes) {
  cv::Mat panorama;
  return mergeFile(dir, bytes, panorama);
}

bool decodesTo(const std::string& bytes, const cv::Mat& image) {
  const std::vector<unsigned char> data(bytes.begin(), bytes.end());
  const cv::Mat decoded = cv::imdecode(data, cv::IMREAD_UNCHANGED);
  return decoded.size() == image.size() && decoded.type() == image.type() &&
         cv::norm(decoded, image, cv::NORM_INF) == 0;
}

TEST(TextureCopy, PlainTruecolourPngIsWrittenUnchanged) {
  TempDir dir;
  const std::string png = encodePng(patternImage(7, 5, CV_8UC3));
  EXPECT_EQ(mergeFile(dir, png), png);
  // Ancillary chunks that do not change the pixels are kept.
  const std::string withText = withChunk(png, "tEXt", std::string("Comment\0room", 12));
  EXPECT_EQ(mergeFile(dir, withText), withText);
}

TEST(TextureCopy, OtherFilesAreEncodedFromTheDecodedPanorama) {
  TempDir dir;
  const std::string rgb = encodePng(patternImage(6, 4, CV_8UC3));
  std::vector<unsigned char> jpeg;
  ASSERT_TRUE(cv::imencode(".jpg", patternImage(6, 4, CV_8UC3), jpeg));
  // A text chunk whose CRC is wrong: decoders skip it with a warning, and a
  // byte copy would hand the broken chunk on.
  std::string brokenText = withChunk(rgb, "tEXt", std::string("Comment\0room", 12));
  brokenText[33 + 8 + 12] = static_cast<char>(brokenText[33 + 8 + 12] ^ 0x01);
  struct Case {
    std::string name;
    std::string bytes;
  };
  const std::vector<Case> cases = {
      {"alpha channel", encodePng(patternImage(6, 4, CV_8UC4))},
      {"16 bits per sample", encodePng(patternImage(6, 4, CV_16UC3))},
      {"grey", encodePng(patternImage(6, 4, CV_8UC1))},
      {"transparent colour", withChunk(rgb, "tRNS", std::string("\0\1\0\2\0\3", 6))},
      {"Exif data", withChunk(rgb, "eXIf", std::string("MM\0*\0\0\0\x08\0\0", 10))},
      {"bytes after the end", rgb + "trailing"},
      {"wrong CRC in a text chunk", brokenText},
      {"JPEG under a PNG name", std::string(jpeg.begin(), jpeg.end())},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cv::Mat panorama;
    const std::string texture = mergeFile(dir, c.bytes, panorama);
    EXPECT_NE(texture, c.bytes);
    EXPECT_TRUE(decodesTo(texture, panorama));
    EXPECT_EQ(panorama.type(), CV_8UC3);
  }
}

}  // namespace
}  // namespace roombox
