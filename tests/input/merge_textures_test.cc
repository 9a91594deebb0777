#include "driver/scene_store.h"
#include "input/merge_textures.h"
#include "support/expect_stop.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <unistd.h>

#include <string>

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

// Resets the store to read from and write to dir, texture "room-texture.png".
void useFolder(const TempDir& dir, int viewCount) {
  sceneStore = SceneStore{};
  sceneStore.basePath = dir.path();
  sceneStore.textureFileName = "room-texture.png";
  sceneStore.viewCount = viewCount;
}

TEST(MergeTextures, PanoramaIsKeptAndStackedAboveTheViews) {
  for (const int views : {0, 2}) {
    TempDir dir;
    useFolder(dir, views);
    const cv::Mat panorama = patternImage(6, 4, 1), view0 = patternImage(6, 4, 60),
                  view1 = patternImage(6, 4, 120);
    ASSERT_TRUE(cv::imwrite(dir.path() + "shifted_t.png", panorama));
    ASSERT_TRUE(cv::imwrite(dir.path() + "shifted_t1.png", view0));  // slot 0
    ASSERT_TRUE(cv::imwrite(dir.path() + "shifted_t5.png", view1));  // slot 1
    mergeTextures();
    EXPECT_EQ(sceneStore.panoramaWidth, 6);
    EXPECT_EQ(sceneStore.panoramaHeight, 4);
    EXPECT_TRUE(sameImage(sceneStore.panorama, panorama));
    const cv::Mat merged = cv::imread(dir.path() + "room-texture.png", cv::IMREAD_UNCHANGED);
    ASSERT_EQ(merged.rows, 4 * (views + 1));
    EXPECT_TRUE(sameImage(merged.rowRange(0, 4), panorama));
    if (views == 2) {
      EXPECT_TRUE(sameImage(merged.rowRange(4, 8), view0));
      EXPECT_TRUE(sameImage(merged.rowRange(8, 12), view1));
    }
  }
}

TEST(MergeTexturesDeathTest, FailuresStopWithStatusTwo) {
  TempDir dir;
  const std::string base = dir.path();
  useFolder(dir, 0);
  EXPECT_STOPS(mergeTextures(), "Cannot open the texture image - " + base + "shifted_t.png\n");

  ASSERT_TRUE(cv::imwrite(base + "shifted_t.png", patternImage(5, 3, 1)));
  sceneStore.viewCount = 1;
  EXPECT_STOPS(mergeTextures(), "Cannot open the texture image - " + base + "shifted_t1.png\n");
  for (const cv::Size size : {cv::Size(5, 4), cv::Size(4, 3)}) {
    ASSERT_TRUE(cv::imwrite(base + "shifted_t1.png", patternImage(size.width, size.height, 2)));
    EXPECT_STOPS(mergeTextures(), "Texture image sizes are different \n");
  }

  // The texture cannot be written: no such folder, or a full device.
  sceneStore.viewCount = 0;
  ASSERT_EQ(symlink("/dev/full", (base + "full-texture.png").c_str()), 0);
  for (const char* name : {"missing/room-texture.png", "full-texture.png"}) {
    sceneStore.textureFileName = name;
    EXPECT_STOPS(mergeTextures(), "Cannot write " + base + name + "\n");
  }
}

}  // namespace
