#include "bake/encode_atlas.h"

#include "roombox/error.h"

#include <opencv2/imgcodecs.hpp>

namespace roombox {

std::vector<unsigned char> encodeAtlas(const BakedAtlas& atlas) {
  std::vector<unsigned char> bytes;
  const std::vector<int> parameters = {cv::IMWRITE_JPEG_QUALITY, 92};
  if (atlas.image.empty() || !cv::imencode(kAtlasExtension, atlas.image, bytes, parameters)) {
    throw Error("Cannot encode the texture atlas\n");
  }
  return bytes;
}

}  // namespace roombox
