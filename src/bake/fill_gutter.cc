#include "bake/fill_gutter.h"

#include <algorithm>
#include <cstring>

namespace roombox {

void fillGutter(const AtlasPatch& patch, cv::Mat& atlas) {
  const int g = kAtlasGutter;
  // Left and right along the patch's own rows.
  for (int y = patch.y; y < patch.y + patch.height; ++y) {
    unsigned char* row = atlas.ptr<unsigned char>(y);
    const unsigned char* first = row + 3 * patch.x;
    const unsigned char* last = row + 3 * (patch.x + patch.width - 1);
    for (int k = 1; k <= g; ++k) {
      std::memcpy(row + 3 * (patch.x - k), first, 3);
      std::memcpy(row + 3 * (patch.x + patch.width - 1 + k), last, 3);
    }
  }
  // Whole rows above and below, gutter columns included.
  const std::size_t bytes = static_cast<std::size_t>(3 * (patch.width + 2 * g));
  const unsigned char* top = atlas.ptr<unsigned char>(patch.y) + 3 * (patch.x - g);
  const unsigned char* bottom =
      atlas.ptr<unsigned char>(patch.y + patch.height - 1) + 3 * (patch.x - g);
  for (int k = 1; k <= g; ++k) {
    std::memcpy(atlas.ptr<unsigned char>(patch.y - k) + 3 * (patch.x - g), top, bytes);
    std::memcpy(atlas.ptr<unsigned char>(patch.y + patch.height - 1 + k) + 3 * (patch.x - g),
                bottom, bytes);
  }
}

}  // namespace roombox
