// The floor of a roombox run on a panorama: decodes the panorama with
// cv::imread exactly as the texture merge does, and nothing else.
// Usage: decode_panorama <image path>. Prints the image size; exits 0 when
// the image was decoded, 2 when it was not.

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::printf("Usage: %s <image path>\n", argv[0]);
    return 2;
  }
  const cv::Mat image = cv::imread(argv[1], cv::IMREAD_COLOR);
  if (image.empty()) {
    std::printf("Cannot decode %s\n", argv[1]);
    return 2;
  }
  std::printf("%d x %d, %d channels\n", image.cols, image.rows, image.channels());
  return 0;
}
