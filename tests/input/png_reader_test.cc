// The PNG fast path of readPanorama. Every file it takes decodes to exactly
// the pixels cv::imread gives, and every file, broken ones included, gives
// from readPanorama exactly what cv::imread gives: the same pixels, or the
// same failure. The texture's byte copy is taken only for files whose stored
// samples are those pixels.

#include "input/png_files.h"
#include "input/png_reader.h"
#include "roombox/error.h"
#include "roombox/read_panorama.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace roombox {
namespace {

using namespace pngfiles;

// Left half noise (every sample value, wrap-around in every filter), right
// half a gradient (long matches for a compressor).
cv::Mat testImage(int width, int height, int channels) {
  cv::Mat image(height, width, CV_8UC(channels));
  cv::RNG rng(width * 31 + height);
  rng.fill(image, cv::RNG::UNIFORM, 0, 256);
  for (int y = 0; y < height; ++y) {
    for (int i = width / 2 * channels; i < width * channels; ++i) {
      image.ptr<unsigned char>(y)[i] = static_cast<unsigned char>(i * 3 + y * 5);
    }
  }
  return image;
}

std::string encode(const cv::Mat& image, const std::vector<int>& parameters = {}) {
  std::vector<unsigned char> bytes;
  EXPECT_TRUE(cv::imencode(".png", image, bytes, parameters));
  return std::string(bytes.begin(), bytes.end());
}

// readPanorama gives for bytes what cv::imread gives, and so does the fast
// path where it takes them (it must when mustTake). When the texture's byte
// copy would take the file, its stored samples are the decoded pixels.
void expectSameAsImread(const TempDir& dir, const std::string& bytes, bool mustTake = false) {
  const std::string path = dir.write("shifted_t.png", bytes);
  const cv::Mat expected = imreadOrEmpty(path, cv::IMREAD_COLOR);
  std::vector<unsigned char> copy(bytes.begin(), bytes.end());
  const cv::Mat fast = decodePlainPng(copy.data(), copy.size());
  EXPECT_TRUE(!mustTake || !fast.empty()) << "left to cv::imread";
  EXPECT_TRUE(fast.empty() || samePixels(fast, expected)) << "the fast path differs";
  cv::Mat panorama;
  try {
    panorama = readPanorama(path);
  } catch (const Error& error) {
    EXPECT_TRUE(expected.empty());
    EXPECT_EQ(error.what(), "Cannot open the texture image - " + path);
    return;
  }
  ASSERT_TRUE(samePixels(panorama, expected)) << "readPanorama differs";
  const bool copied = isPlainTruecolourPng(reinterpret_cast<const unsigned char*>(bytes.data()),
                                           bytes.size(), panorama.cols, panorama.rows);
  EXPECT_TRUE(!copied || samePixels(imreadOrEmpty(path, cv::IMREAD_UNCHANGED), panorama));
}

TEST(PngFastPath, UndoesEveryRowFilterExactly) {
  TempDir dir;
  const std::vector<std::vector<int>> filterSets = {{0}, {1}, {2}, {3}, {4}, {4, 3, 2, 1, 0}};
  for (const int channels : {3, 4}) {
    for (const int width : {1, 2, 5, 6, 11, 31}) {
      for (const int height : {1, 3, 6}) {
        for (const std::vector<int>& filters : filterSets) {
          SCOPED_TRACE(testing::Message() << width << "x" << height << "x" << channels
                                          << ", first filter " << filters[0]);
          expectSameAsImread(dir, pngFile(testImage(width, height, channels), filters), true);
        }
      }
    }
  }
}

TEST(PngFastPath, GathersTheStreamFromAnyIdatChunks) {
  TempDir dir;
  for (const int channels : {3, 4}) {
    const std::string header = imageHeader(13, 7, 8, channels == 4 ? 6 : 2);
    const std::string stream = storedZlib(filteredRows(testImage(13, 7, channels), {4, 1}), 50);
    for (const std::size_t idatSize : {1, 7, 100, 1 << 20}) {
      expectSameAsImread(dir, pngFile(header, stream, idatSize), true);
    }
    std::string withEmpty = pngFile(header, stream, 64);  // empty IDAT chunks first and between
    withEmpty.insert(33 + 76, chunk("IDAT", ""));
    expectSameAsImread(dir, withEmpty.insert(33, chunk("IDAT", "")), true);
  }
}

// Images large enough to be undone on a second thread while they inflate:
// every row exact, and a stream that breaks off, inflates too far or names
// an unknown filter late in the image stops both threads and leaves the
// file to cv::imread.
TEST(PngFastPath, LargeImagesUndoneWhileInflatingStopCleanlyWhenBroken) {
  TempDir dir;
  for (const int channels : {3, 4}) {
    SCOPED_TRACE(testing::Message() << channels << " channels");
    const cv::Mat image = testImage(1101, 800, channels);
    const std::string header = imageHeader(1101, 800, 8, channels == 4 ? 6 : 2);
    const std::string rows = filteredRows(image, {4, 3, 2, 1, 0});
    expectSameAsImread(dir, pngFile(header, storedZlib(rows), 8192), true);
    expectSameAsImread(dir, encode(image), true);
    std::string badFilter = rows;
    badFilter[rows.size() / 800 * 700] = 7;
    expectSameAsImread(dir, pngFile(header, storedZlib(badFilter)));
    const std::string stream = storedZlib(rows);
    expectSameAsImread(dir, pngFile(header, stream.substr(0, stream.size() - 200000)));
    expectSameAsImread(dir, pngFile(header, storedZlib(rows + std::string(5000, '\0'))));
  }
}

// Streams that inflate to many times their size are inflated at once rather
// than streamed: every filter, one chunk or many, exact; broken ones (cut
// short, inflating too far, an unknown filter late, a wrong Adler-32 or
// bytes after the stream, which libpng warns about) left to cv::imread.
TEST(PngFastPath, HighlyCompressedStreamsInflatedAtOnceExactly) {
  TempDir dir;
  // Bands of flat colour: long matches.
  const auto bands = [](int width, int height, int channels) {
    cv::Mat image(height, width, CV_8UC(channels));
    for (int y = 0; y < height; ++y) {
      for (int i = 0; i < width * channels; ++i) {
        image.ptr<unsigned char>(y)[i] = static_cast<unsigned char>(i / 40 * 7 + y / 30 * 11);
      }
    }
    return image;
  };
  for (const int channels : {3, 4}) {
    const cv::Mat image = bands(257, 300, channels);
    const std::string header = imageHeader(257, 300, 8, channels == 4 ? 6 : 2);
    const std::vector<std::vector<int>> filterSets = {{0}, {1}, {2}, {3}, {4}, {4, 3, 2, 1, 0}};
    for (const std::vector<int>& filters : filterSets) {
      SCOPED_TRACE(testing::Message() << channels << " channels, first filter " << filters[0]);
      const std::string rows = filteredRows(image, filters);
      const std::string stream = deflatedZlib(rows);
      ASSERT_GE(rows.size() / stream.size(), 16u) << "not compressed enough to be inflated at once";
      for (const std::size_t idatSize : {std::size_t{1} << 20, std::size_t{8192}, std::size_t{7}}) {
        expectSameAsImread(dir, pngFile(header, stream, idatSize), true);
      }
    }
    // Large enough for a second thread to take the memory meanwhile.
    expectSameAsImread(dir, encode(bands(1285, 1500, channels)), true);
    const std::string rows = filteredRows(image, {1});
    const std::string stream = deflatedZlib(rows);
    std::string badFilter = rows;
    badFilter[rows.size() / 300 * 290] = 7;
    std::string wrongAdler = stream;
    wrongAdler.back() = static_cast<char>(wrongAdler.back() ^ 1);
    for (const std::string& png :
         {pngFile(header, deflatedZlib(badFilter)), pngFile(header, stream.substr(0, stream.size() / 2)),
          pngFile(header, deflatedZlib(rows + std::string(5000, '\0'))),
          pngFile(header, deflatedZlib(rows.substr(0, rows.size() - 1))), pngFile(header, wrongAdler),
          pngFile(header, stream + "xy")}) {
      std::string copy = png;
      EXPECT_TRUE(decodePlainPng(reinterpret_cast<unsigned char*>(&copy[0]), copy.size()).empty());
      expectSameAsImread(dir, png);
    }
  }
}

TEST(PngFastPath, TakesWhatOpenCvWritesExactly) {
  TempDir dir;
  for (const int channels : {3, 4}) {
    for (const cv::Size size :
         {cv::Size(1, 1), cv::Size(1, 9), cv::Size(9, 1), cv::Size(33, 17), cv::Size(301, 211)}) {
      for (int level = 0; level <= 9; ++level) {
        for (int strategy = cv::IMWRITE_PNG_STRATEGY_DEFAULT;
             strategy <= cv::IMWRITE_PNG_STRATEGY_FIXED; ++strategy) {
          SCOPED_TRACE(testing::Message() << size << "x" << channels << ", level " << level
                                          << ", strategy " << strategy);
          const std::string png =
              encode(testImage(size.width, size.height, channels),
                     {cv::IMWRITE_PNG_COMPRESSION, level, cv::IMWRITE_PNG_STRATEGY, strategy});
          expectSameAsImread(dir, png, true);
        }
      }
    }
  }
  const std::string example = std::string(ROOMBOX_EXAMPLES) + "/shifted_t.png";
  EXPECT_TRUE(samePixels(readPanorama(example), cv::imread(example, cv::IMREAD_COLOR)));
}

// Other kinds of PNG and broken files: whatever cv::imread makes of them.
TEST(PngFastPath, OtherAndBrokenFilesGiveWhatImreadGives) {
  TempDir dir;
  const cv::Mat image = testImage(9, 5, 3);
  const std::string written = encode(image);
  const std::string rgb = imageHeader(9, 5, 8, 2);
  const std::string rows = filteredRows(image, {1});
  const std::string stream = storedZlib(rows);
  std::string badFilter = rows;
  badFilter[28] = 5;
  cv::Mat wide;
  image.convertTo(wide, CV_16U, 257);
  const std::string grey(5 * 10, '\0'), greyAlpha(5 * 19, '\0');
  const auto after = [&](const std::string& chunks) {
    return std::string(written).insert(33, chunks);
  };
  const auto beforeEnd = [](std::string png, const std::string& chunks) {
    return png.insert(png.size() - 12, chunks);
  };
  const auto withIhdr = [&](std::uint32_t w, std::uint32_t h, int depth, int colour, int lace) {
    return pngFile(imageHeader(w, h, depth, colour, lace), stream);
  };
  std::vector<std::string> cases = {
      // Other kinds of PNG, other chunks, bytes after the end.
      encode(testImage(9, 5, 1)), encode(wide), withIhdr(9, 5, 8, 2, 1),
      pngFile(imageHeader(9, 5, 8, 4), storedZlib(greyAlpha)),
      pngFile(imageHeader(9, 5, 8, 3), storedZlib(grey)).insert(33, chunk("PLTE", "abc")),
      after(chunk("tEXt", std::string("Title\0room", 10))),
      after(chunk("tRNS", std::string(6, '\1'))), after(chunk("sRGB", std::string(1, '\0'))),
      written + "trailing", written + chunk("tEXt", "after the end"),
      // Zero-size, oversized and wrongly sized images, other bit depths.
      withIhdr(0, 5, 8, 2, 0), withIhdr(9, 0, 8, 2, 0), withIhdr(1u << 31, 5, 8, 2, 0),
      withIhdr(1000001, 1, 8, 2, 0), withIhdr(40000, 40000, 8, 2, 0), withIhdr(10, 5, 8, 2, 0),
      withIhdr(9, 4, 8, 2, 0), withIhdr(9, 5, 8, 6, 0), withIhdr(9, 5, 16, 2, 0),
      // Broken streams and chunk sequences (with right CRCs).
      pngFile(rgb, stream + "xy"), pngFile(rgb, stream.substr(0, stream.size() - 1) + "!"),
      pngFile(rgb, stream.substr(0, stream.size() - 4)), pngFile(rgb, storedZlib(badFilter)),
      pngFile(rgb, storedZlib(rows + '\0')),
      pngFile(rgb, "\x18\x19" + stream.substr(2)),  // a 512-byte window, enough for the image
      pngFile(imageHeader(30, 10, 8, 2), "\x18\x19" + storedZlib(std::string(910, '\0')).substr(2)),
      pngFile(rgb, "\x78\x20" + stream.substr(2)),  // a preset dictionary
      beforeEnd(pngFile(rgb, stream, 30), chunk("IDAT", "")),
      pngFile(rgb, stream) + chunk("IDAT", ""), chunk("IHDR", rgb) + written.substr(8),
      written.substr(0, written.size() - 12) + chunk("IEND", "x")};
  // Matches farther back than a 512-byte window: zlib refuses them.
  cv::Mat repeating = testImage(60, 20, 3);
  for (int y = 5; y < 20; ++y) repeating.row(y - 5).copyTo(repeating.row(y));
  const std::string far = encode(repeating, {cv::IMWRITE_PNG_COMPRESSION, 9});
  cases.push_back(withRightCrcs(std::string(far).replace(41, 2, "\x18\x19")));
  for (const std::string& base : {written, pngFile(testImage(6, 4, 4), {0, 1, 2, 3, 4}, 16, 40)}) {
    for (std::size_t at = 0; at < base.size(); ++at) {
      cases.push_back(base.substr(0, at));  // truncated
      std::string flipped = base;
      flipped[at] = static_cast<char>(flipped[at] ^ (at % 2 ? 0x01 : 0x80));
      cases.push_back(flipped);
      cases.push_back(withRightCrcs(flipped));
    }
    for (std::size_t at = 8, length = 13; at + 12 <= base.size(); at += 12 + length) {
      length = (base[at + 2] & 0xff) << 8 | (base[at + 3] & 0xff);
      for (const int change : {-1, 1}) {  // each chunk's length one less, one more
        std::string changed = base;
        changed.replace(at, 4, bigEndian32(static_cast<std::uint32_t>(length + change)));
        cases.push_back(changed);
        cases.push_back(withRightCrcs(changed));
      }
    }
  }
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "case " << i);
    expectSameAsImread(dir, cases[i]);
  }
}

// Files cv::imread decodes with a warning from libpng (data after the end of
// the stream, a wrong Adler-32) are left to it, so that the warning is still
// printed.
TEST(PngFastPath, LeavesFilesLibpngWarnsAboutToIt) {
  const std::string header = imageHeader(9, 5, 8, 2);
  const std::string stream = storedZlib(filteredRows(testImage(9, 5, 3), {1}));
  for (std::string png : {pngFile(header, stream + "xy"),
                          pngFile(header, stream.substr(0, stream.size() - 1) + "!")}) {
    EXPECT_TRUE(decodePlainPng(reinterpret_cast<unsigned char*>(&png[0]), png.size()).empty());
  }
}


// A file cut short after its size was taken, as another process may do while
// it is read: the bytes past the cut are missing, not a signal, and the walk
// refuses the file.
TEST(PngFastPath, BytesCutShortAfterTheFileWasSizedAreMissing) {
  TempDir dir;
  const std::string bytes = encode(testImage(1000, 800, 3), {cv::IMWRITE_PNG_COMPRESSION, 0});
  ASSERT_GT(bytes.size(), 2 * PngBytes::kWindowSize);
  const std::string path = dir.write("cut.png", bytes);
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  PngBytes file(fd, bytes.size());
  ASSERT_NE(file.at(kPngStartSize, 8), nullptr);
  ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(PngBytes::kWindowSize + 100)), 0);
  // What the window holds is still given; what lies past the cut is not.
  EXPECT_NE(file.at(PngBytes::kWindowSize - 8, 8), nullptr);
  EXPECT_EQ(file.at(PngBytes::kWindowSize + 50, 100), nullptr);
  EXPECT_EQ(file.at(bytes.size() - 12, 12), nullptr);
  std::vector<unsigned char> out(bytes.size());
  EXPECT_FALSE(file.copy(0, bytes.size(), out.data()));
  PngChunks chunks;
  EXPECT_FALSE(walkPngChunks(file, chunks));
  close(fd);
}

// A panorama cut short by another thread at random points of its reading
// either reads whole (no cut during the read) or fails as a broken file
// does; the process goes on. A streamed (photo-like) and a flat image
// (inflated at once), each in many chunks and in one.
TEST(PngFastPath, APanoramaCutShortWhileItIsReadFailsCleanly) {
  TempDir dir;
  cv::Mat photo(1024, 2048, CV_8UC3);
  cv::RNG(7).fill(photo, cv::RNG::UNIFORM, 0, 256);
  cv::Mat flat(1024, 2048, CV_8UC3, cv::Scalar(40, 90, 160));
  flat(cv::Rect(300, 200, 900, 500)).setTo(cv::Scalar(200, 10, 70));
  const std::vector<std::string> files = {
      encode(photo), encode(flat), pngFile(photo, {1}, 1 << 30),
      pngFile(imageHeader(2048, 1024, 8, 2), deflatedZlib(filteredRows(flat, {1})), 1 << 30)};
  std::mt19937 random(20261208);
  for (std::size_t f = 0; f < files.size(); ++f) {
    SCOPED_TRACE(testing::Message() << "file " << f);
    const std::string& bytes = files[f];
    const std::string path = dir.write("shifted_t.png", bytes);
    const cv::Mat expected = imreadOrEmpty(path, cv::IMREAD_COLOR);
    ASSERT_FALSE(expected.empty());
    // Cuts are spread over about one read's time (the fastest of a few: the
    // first takes fresh memory from the kernel).
    long readTime = std::numeric_limits<long>::max();
    for (int read = 0; read < 3; ++read) {
      const auto begin = std::chrono::steady_clock::now();
      ASSERT_TRUE(samePixels(readPanorama(path), expected));
      readTime = std::min<long>(readTime, std::chrono::duration_cast<std::chrono::microseconds>(
                                              std::chrono::steady_clock::now() - begin)
                                              .count());
    }
    // While the file is read again and again: written whole, then cut at a
    // random point, each after a random wait.
    std::atomic<bool> reading{true};
    std::thread cutter([&, seed = random()] {
      std::mt19937 cuts(seed);
      std::uniform_int_distribution<std::size_t> at(0, bytes.size() - 1);
      std::uniform_int_distribution<long> wait(0, readTime);
      while (reading) {
        dir.write("shifted_t.png", bytes);
        std::this_thread::sleep_for(std::chrono::microseconds(2 * wait(cuts)));
        EXPECT_EQ(truncate(path.c_str(), static_cast<off_t>(at(cuts))), 0);
        std::this_thread::sleep_for(std::chrono::microseconds(wait(cuts) / 4));
      }
    });
    int failed = 0;
    for (int read = 0; read < 40; ++read) {
      try {
        EXPECT_TRUE(samePixels(readPanorama(path), expected)) << "read " << read;
      } catch (const Error& error) {
        EXPECT_EQ(error.what(), "Cannot open the texture image - " + path);
        ++failed;
      }
    }
    reading = false;
    cutter.join();
    RecordProperty("cut_reads_failed_" + std::to_string(f), failed);
  }
}

}  // namespace
}  // namespace roombox
