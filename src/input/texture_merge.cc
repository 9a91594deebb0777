#include "roombox/merge_textures.h"

#include "common/output_file.h"
#include "input/png_reader.h"
#include "roombox/error.h"
#include "roombox/read_panorama.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace roombox {

namespace {

// Views that have a texture name slot of their own (the last slot is the
// panorama's).
constexpr int kViewTextureSlots = kViewSlots;

// Encodes image in the format named by the extension of path and writes it
// there; throws Error when it has no extension, cannot be encoded or cannot
// be written completely.
void saveTexture(const cv::Mat& image, const std::string& path) {
  const std::string::size_type slash = path.find_last_of('/');
  const std::string::size_type dot = path.find_last_of('.');
  const bool hasExtension =
      dot != std::string::npos && (slash == std::string::npos || dot > slash);
  if (!hasExtension) throw Error("Cannot write " + path + "\n");
  writeImageFile(image, path, path.substr(dot));
}

// Writes the panorama file at sourcePath unchanged to path when it is a
// plain truecolour PNG of the panorama's size, whose bytes decode to exactly
// the loaded panorama: the texture then needs no encoding. The bytes written
// are the very bytes that were checked. Returns false for any other file,
// having written nothing; the caller then encodes the texture. Throws Error
// when path cannot be written.
bool copyPlainPng(const std::string& sourcePath, const std::string& path, int width, int height) {
  std::vector<unsigned char> bytes;
  if (!readPlainTruecolourPng(sourcePath, width, height, bytes)) return false;
  OutputFile file;
  openOutputFile(path, file, "Cannot write %s\n");
  std::fwrite(bytes.data(), 1, bytes.size(), file.file);
  closeOutputFile(file);
  return true;
}

}  // namespace

cv::Mat mergeTextures(const std::string& basePath, const std::string& textureFileName,
                      const ViewConfig& views) {
  const std::string panoramaPath = basePath + views.textureNames[kViewTextureSlots];
  const cv::Mat panorama = readPanorama(panoramaPath);
  const int width = panorama.cols;
  const int height = panorama.rows;

  // Only views with a name slot can be loaded; a negative count means none.
  const int viewCount = std::min(std::max(views.viewCount, 0), kViewTextureSlots);
  const std::string texturePath = basePath + textureFileName;
  if (viewCount == 0) {
    // The texture is the panorama itself: its file when that holds exactly
    // the decoded pixels, otherwise the panorama encoded anew. Either way no
    // second full-size image is made.
    if (!copyPlainPng(panoramaPath, texturePath, width, height)) {
      saveTexture(panorama, texturePath);
    }
    return panorama;
  }
  cv::Mat merged(height * (viewCount + 1), width, CV_8UC3);
  panorama.copyTo(merged(cv::Rect(0, 0, width, height)));
  for (int i = 0; i < viewCount; ++i) {
    const cv::Mat view = readPanorama(basePath + views.textureNames[i]);
    if (view.cols != width || view.rows != height) {
      throw Error("Texture image sizes are different \n");
    }
    view.copyTo(merged(cv::Rect(0, (i + 1) * height, width, height)));
  }
  saveTexture(merged, texturePath);
  return panorama;
}

}  // namespace roombox
