// The panorama decode as a roombox run does it: roombox::readPanorama, the
// PNG fast path where it applies and cv::imread otherwise, and nothing else.
// Timed by the benchmark against decode_panorama (cv::imread alone).
// Usage: read_panorama <image path>. Prints the image size; exits 0 when the
// image was decoded, 2 when it was not.

#include "roombox/read_panorama.h"

#include "roombox/error.h"

#include <opencv2/core.hpp>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::printf("Usage: %s <image path>\n", argv[0]);
    return 2;
  }
  try {
    const cv::Mat image = roombox::readPanorama(argv[1]);
    std::printf("%d x %d, %d channels\n", image.cols, image.rows, image.channels());
  } catch (const roombox::Error& error) {
    std::printf("%s\n", error.what());
    return 2;
  }
  return 0;
}
