#pragma once

#include <opencv2/core.hpp>

#include <string>
#include <vector>

namespace roombox {

// Encodes image in the format of `extension` (".png", ".jpg", ...) with
// OpenCV's encoder parameters and writes the bytes to path. Throws
// Error("Cannot write <path>\n") when the image cannot be encoded or the file
// cannot be opened or written completely, and std::bad_alloc when encoding
// runs out of memory.
void writeImageFile(const cv::Mat& image, const std::string& path, const std::string& extension,
                    const std::vector<int>& parameters = {});

}  // namespace roombox
