#include "roombox/read_panorama.h"

#include "common/image_codecs.h"
#include "input/png_reader.h"
#include "roombox/error.h"

#include <opencv2/imgcodecs.hpp>

#include <new>

namespace roombox {

cv::Mat readPanorama(const std::string& path, int threads) {
  // The common panorama, a plain 8-bit truecolour PNG, is decoded by the fast
  // path to exactly the pixels cv::imread gives; every other file, and every
  // file the fast path is unsure of (broken ones too), is read by cv::imread,
  // whose verdict stands.
  cv::Mat fast = readPlainPng(path, threads);
  if (!fast.empty()) return fast;
  // OpenCV throws instead of returning an empty image for some files (one
  // declaring more pixels than it accepts): those are unreadable too. Running
  // out of memory is not a fault of the file and is passed on as such.
  cv::Mat image;
  try {
    image = decodeImageFile(path, cv::IMREAD_COLOR);
  } catch (const cv::Exception& e) {
    if (e.code == cv::Error::StsNoMem) throw std::bad_alloc();
    image.release();
  }
  if (image.empty()) throw Error("Cannot open the texture image - " + path + "\n");
  return image;
}

}  // namespace roombox
