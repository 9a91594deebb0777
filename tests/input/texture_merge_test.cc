#include "roombox/merge_textures.h"
#include "roombox/read_panorama.h"
#include "support/expect_error.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <unistd.h>

#include <string>

namespace roombox {
namespace {

// A width x height colour image whose pixels differ from one another.
cv::Mat patternImage(int width, int height, int seed) {
  cv::Mat image(height, width, CV_8UC3);
  cv::randu(image, cv::Scalar::all(seed), cv::Scalar::all(seed + 100));
  return image;
}

bool sameImage(const cv::Mat& a, const cv::Mat& b) {
  return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0;
}

// A view configuration with viewCount extra views and the default names.
ViewConfig withViews(int viewCount) {
  ViewConfig views;
  views.viewCount = viewCount;
  return views;
}

const char* const kTexture = "room-texture.png";

TEST(MergeTextures, PanoramaIsKeptAndStackedAboveTheViews) {
  for (const int views : {0, 2}) {
    TempDir dir;
    const cv::Mat panorama = patternImage(6, 4, 1), view0 = patternImage(6, 4, 60),
                  view1 = patternImage(6, 4, 120);
    ASSERT_TRUE(cv::imwrite(dir.path() + "shifted_t.png", panorama));
    ASSERT_TRUE(cv::imwrite(dir.path() + "shifted_t1.png", view0));  // slot 0
    ASSERT_TRUE(cv::imwrite(dir.path() + "shifted_t5.png", view1));  // slot 1
    const cv::Mat loaded = mergeTextures(dir.path(), kTexture, withViews(views));
    EXPECT_EQ(loaded.cols, 6);
    EXPECT_EQ(loaded.rows, 4);
    EXPECT_TRUE(sameImage(loaded, panorama));
    const cv::Mat merged = cv::imread(dir.path() + kTexture, cv::IMREAD_UNCHANGED);
    ASSERT_EQ(merged.rows, 4 * (views + 1));
    EXPECT_TRUE(sameImage(merged.rowRange(0, 4), panorama));
    if (views == 2) {
      EXPECT_TRUE(sameImage(merged.rowRange(4, 8), view0));
      EXPECT_TRUE(sameImage(merged.rowRange(8, 12), view1));
    }
  }
}

// Panoramas read into the memory of the one before: the same pixels as a
// fresh read, that memory taken again when it fits, and memory another image
// still shares, or that is too small, never written over.
TEST(ReadPanorama, ReadsIntoTheMemoryOfAnEarlierPanoramaOnlyWhenItIsFree) {
  TempDir dir;
  const cv::Mat first = patternImage(300, 200, 1), second = patternImage(300, 200, 90);
  ASSERT_TRUE(cv::imwrite(dir.path() + "a.png", first));
  ASSERT_TRUE(cv::imwrite(dir.path() + "b.png", second));
  ASSERT_TRUE(cv::imwrite(dir.path() + "wide.png", patternImage(301, 200, 5)));
  cv::Mat memory;
  cv::Mat image = readPanorama(dir.path() + "a.png", 1, memory);
  EXPECT_TRUE(memory.empty());
  EXPECT_TRUE(sameImage(image, first));
  const unsigned char* const taken = image.data;
  memory = image;
  image.release();
  image = readPanorama(dir.path() + "b.png", 1, memory);
  EXPECT_TRUE(memory.empty());
  EXPECT_TRUE(sameImage(image, second));
  EXPECT_EQ(image.data, taken);

  // Still shared: a new image, the shared one unchanged.
  memory = image;
  const cv::Mat third = readPanorama(dir.path() + "a.png", 1, memory);
  EXPECT_TRUE(memory.empty());
  EXPECT_TRUE(sameImage(third, first));
  EXPECT_TRUE(sameImage(image, second));
  // Another width, or too few rows: not taken.
  image.release();
  memory = third;
  EXPECT_EQ(readPanorama(dir.path() + "wide.png", 1, memory).cols, 301);
  memory = cv::Mat(2, 300, CV_8UC3, cv::Scalar::all(7));
  EXPECT_TRUE(sameImage(readPanorama(dir.path() + "a.png", 1, memory), first));
}

TEST(MergeTextures, FailuresThrowWithTheConsoleMessage) {
  TempDir dir;
  const std::string base = dir.path();
  EXPECT_ROOMBOX_ERROR(mergeTextures(base, kTexture),
                       ("Cannot open the texture image - " + base + "shifted_t.png$").c_str());

  ASSERT_TRUE(cv::imwrite(base + "shifted_t.png", patternImage(5, 3, 1)));
  EXPECT_ROOMBOX_ERROR(mergeTextures(base, kTexture, withViews(1)),
                       ("Cannot open the texture image - " + base + "shifted_t1.png$").c_str());
  for (const cv::Size size : {cv::Size(5, 4), cv::Size(4, 3)}) {
    ASSERT_TRUE(cv::imwrite(base + "shifted_t1.png", patternImage(size.width, size.height, 2)));
    EXPECT_ROOMBOX_ERROR(mergeTextures(base, kTexture, withViews(1)),
                         "^Texture image sizes are different $");
  }

  // The texture cannot be written: no such folder, or a full device.
  ASSERT_EQ(symlink("/dev/full", (base + "full-texture.png").c_str()), 0);
  for (const char* name : {"missing/room-texture.png", "full-texture.png"}) {
    EXPECT_ROOMBOX_ERROR(mergeTextures(base, name), ("Cannot write " + base + name + "$").c_str());
  }
}

TEST(ReadPanorama, LoadsAnyImageAsColourAndNamesAnUnreadableOne) {
  TempDir dir;
  cv::Mat grey(3, 5, CV_8UC1, cv::Scalar(77));
  ASSERT_TRUE(cv::imwrite(dir.path() + "grey.png", grey));
  const cv::Mat loaded = readPanorama(dir.path() + "grey.png");
  EXPECT_EQ(loaded.type(), CV_8UC3);
  EXPECT_EQ(loaded.size(), cv::Size(5, 3));
  EXPECT_EQ(loaded.at<cv::Vec3b>(2, 4), cv::Vec3b(77, 77, 77));

  const std::string broken = dir.write("broken.png", "not an image");
  for (const std::string& path : {dir.path() + "missing.png", broken}) {
    EXPECT_ROOMBOX_ERROR(readPanorama(path),
                         ("^Cannot open the texture image - " + path + "$").c_str());
  }
}

}  // namespace
}  // namespace roombox
