#include "roombox/write_preview.h"

#include "common/write_image_file.h"
#include "preview/render_preview.h"

#include <opencv2/imgcodecs.hpp>

#include <vector>

namespace roombox {

void writePreview(const Reconstruction& room, const cv::Mat& panorama, const std::string& path) {
  const cv::Mat preview = renderPreview(room, panorama);
  // Given no compression level, OpenCV's PNG writer uses its fast settings:
  // every row filtered by its left neighbour (SUB) and zlib's fastest level.
  // zlib's strategy for filtered data makes the file a quarter smaller at
  // the same speed. Naming a level instead turns on libpng's adaptive
  // filtering, which takes about twice as long for a file a third smaller.
  const std::vector<int> settings{cv::IMWRITE_PNG_STRATEGY, cv::IMWRITE_PNG_STRATEGY_FILTERED};
  writeImageFile(preview, path, ".png", settings);
}

}  // namespace roombox
