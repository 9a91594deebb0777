#include "input/merge_textures.h"

#include "driver/output_file.h"
#include "driver/scene_store.h"
#include "driver/stop_run.h"

#include <opencv2/imgcodecs.hpp>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Views that have a texture name slot of their own (the last slot is the
// panorama's).
constexpr int kViewTextureSlots = 4;

// Loads path as a 3-channel 8-bit colour image; stops the run when it cannot
// be read.
cv::Mat loadTexture(const std::string& path) {
  cv::Mat image = cv::imread(path, cv::IMREAD_COLOR);
  if (image.empty()) {
    stopRun("Cannot open the texture image - " + path + "\n");
  }
  return image;
}

// Encodes image in the format named by the extension of path and writes it
// there; stops the run when it cannot be encoded or written completely.
void saveTexture(const cv::Mat& image, const std::string& path) {
  const std::string::size_type slash = path.find_last_of('/');
  const std::string::size_type dot = path.find_last_of('.');
  const bool hasExtension =
      dot != std::string::npos && (slash == std::string::npos || dot > slash);
  std::vector<unsigned char> bytes;
  bool encoded = false;
  if (hasExtension) {
    try {
      encoded = cv::imencode(path.substr(dot), image, bytes);
    } catch (const cv::Exception&) {
      encoded = false;
    }
  }
  if (!encoded) {
    stopRun("Cannot write " + path + "\n");
  }
  FILE* file = openOutputFile(path, "Cannot write %s\n");
  if (!bytes.empty()) {
    std::fwrite(bytes.data(), 1, bytes.size(), file);
  }
  closeOutputFile(file, path);
}

}  // namespace

void mergeTextures() {
  SceneStore& store = sceneStore;
  const cv::Mat panorama = loadTexture(store.basePath + store.textureNames[4]);
  store.panorama = panorama;
  store.panoramaWidth = panorama.cols;
  store.panoramaHeight = panorama.rows;
  const int width = store.panoramaWidth;
  const int height = store.panoramaHeight;

  // Only views with a name slot can be loaded; a negative count means none.
  const int views = std::min(std::max(store.viewCount, 0), kViewTextureSlots);
  cv::Mat merged(height * (views + 1), width, CV_8UC3);
  panorama.copyTo(merged(cv::Rect(0, 0, width, height)));
  for (int i = 0; i < views; ++i) {
    const cv::Mat view = loadTexture(store.basePath + store.textureNames[i]);
    if (view.cols != width || view.rows != height) {
      stopRun("Texture image sizes are different \n");
    }
    view.copyTo(merged(cv::Rect(0, (i + 1) * height, width, height)));
  }

  saveTexture(merged, store.basePath + store.textureFileName);
}
