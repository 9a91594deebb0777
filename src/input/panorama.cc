#include "roombox/read_panorama.h"

#include "common/image_codecs.h"
#include "input/png_reader.h"
#include "roombox/error.h"

#include <opencv2/imgcodecs.hpp>

namespace roombox {

cv::Mat readPanorama(const std::string& path, int threads) {
  cv::Mat none;
  return readPanorama(path, threads, none);
}

cv::Mat readPanorama(const std::string& path, int threads, cv::Mat& memory) {
  // The common panorama, a plain 8-bit truecolour PNG, is decoded by the fast
  // path to exactly the pixels cv::imread gives; every other file, and every
  // file the fast path is unsure of (broken ones too), is read by cv::imread,
  // whose verdict stands.
  cv::Mat fast = readPlainPng(path, threads, &memory);
  memory.release();
  if (!fast.empty()) return fast;
  // Running out of memory is not a fault of the file and is passed on as
  // such (std::bad_alloc); any other failure leaves the image empty.
  const cv::Mat image = decodeImageFile(path, cv::IMREAD_COLOR);
  if (image.empty()) throw Error("Cannot open the texture image - " + path);
  return image;
}

}  // namespace roombox
