#include "roombox/merge_textures.h"

#include "common/file_names.h"
#include "common/output_file.h"
#include "input/png_reader.h"
#include "roombox/error.h"
#include "roombox/read_panorama.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace roombox {

namespace {

// The panorama's texture name slot: the last, after one per extra view.
constexpr int kPanoramaTextureSlot = kViewSlots;

// Encodes image in the format named by the extension of path and writes it
// there; throws Error when it has no extension, cannot be encoded or cannot
// be written completely.
void saveTexture(const cv::Mat& image, const std::string& path) {
  const std::string extension = fileExtension(path);
  if (extension.empty()) throw Error("Cannot write " + path);
  writeImageFile(image, path, extension);
}

// Whether two stats of one file show the same content: same file, size and
// time of last change.
bool sameFileState(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
         a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

// Copies the whole regular file open at in (size bytes) to the start of out,
// in the kernel (copy_file_range) where it can and by read and write where
// it cannot. Returns false when a read or write fails or the file ends
// early.
bool copyWholeFile(int in, int out, off_t size) {
  off_t done = 0;
  bool inKernel = true;
  std::vector<char> buffer;
  while (done < size) {
    const std::size_t want = static_cast<std::size_t>(std::min<off_t>(size - done, 1 << 30));
    ssize_t n = -1;
    if (inKernel) {
      off_t inAt = done;
      n = copy_file_range(in, &inAt, out, nullptr, want, 0);
      if (n < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS ||
                    errno == EOPNOTSUPP || errno == EBADF) && done == 0) {
        inKernel = false;
        continue;
      }
    } else {
      buffer.resize(1 << 20);
      n = pread(in, buffer.data(), std::min(want, buffer.size()), done);
      if (n > 0 && write(out, buffer.data(), static_cast<std::size_t>(n)) != n) n = -1;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += n;
  }
  return true;
}

// Writes the panorama file at sourcePath unchanged to path when it is a
// plain truecolour PNG of the panorama's size, whose bytes decode to exactly
// the loaded panorama: the texture then needs no encoding. The bytes are
// copied by the kernel; the file must be unchanged (same size and times)
// from before it was checked until after it was copied, so that the bytes
// written are the bytes checked. Returns false for any other file, having
// written nothing, and when the copy fails or the file changed, the part
// written discarded; the caller then encodes the texture. Throws Error when
// path cannot be written.
bool copyPlainPng(const std::string& sourcePath, const std::string& path, int width, int height) {
  const int source = open(sourcePath.c_str(), O_RDONLY | O_CLOEXEC);
  if (source < 0) return false;
  const std::unique_ptr<int, void (*)(int*)> closeSource(new int(source), [](int* fd) {
    close(*fd);
    delete fd;
  });
  struct stat before {};
  if (fstat(source, &before) != 0 || !isPlainTruecolourPngFile(source, width, height)) {
    return false;
  }
  OutputFile file;
  openOutputFile(path, file, "Cannot write %s");
  // Whatever the stream holds goes first; the copy then continues the file.
  if (std::fflush(file.file) != 0) throw Error("Cannot write " + path);
  const bool copied = copyWholeFile(source, fileno(file.file), before.st_size);
  struct stat after {};
  if (!copied || fstat(source, &after) != 0 || !sameFileState(before, after)) {
    // The part copied is dropped, never renamed onto the texture's name (a
    // device written in place keeps it); the caller encodes the texture.
    discardOutputFile(file);
    return false;
  }
  closeOutputFile(file);
  return true;
}

}  // namespace

cv::Mat mergeTextures(const std::string& basePath, const std::string& textureFileName,
                      const ViewConfig& views, int threads) {
  cv::Mat none;
  return mergeTextures(basePath, textureFileName, views, threads, none);
}

cv::Mat mergeTextures(const std::string& basePath, const std::string& textureFileName,
                      const ViewConfig& views, int threads, cv::Mat& memory) {
  const std::string panoramaPath = basePath + views.textureNames[kPanoramaTextureSlot];
  const cv::Mat panorama = readPanorama(panoramaPath, threads, memory);
  const int width = panorama.cols;
  const int height = panorama.rows;

  const int viewCount = usableViewCount(views, ViewSlots::kTextures);
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
    const cv::Mat view = readPanorama(basePath + views.textureNames[i], threads);
    if (view.cols != width || view.rows != height) {
      throw Error("Texture image sizes are different ");
    }
    view.copyTo(merged(cv::Rect(0, (i + 1) * height, width, height)));
  }
  saveTexture(merged, texturePath);
  return panorama;
}

}  // namespace roombox
