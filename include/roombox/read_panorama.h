#pragma once

#include <opencv2/core.hpp>

#include <string>

namespace roombox {

// Loads the image at path as 8-bit, 3-channel colour (BGR), as the panorama
// or a view image. Throws Error("Cannot open the texture image - <path>\n")
// when it cannot be read or decoded, and std::bad_alloc when decoding runs
// out of memory. threads: how many threads the decode may use (0: as suits
// the image, up to two; 1: the calling thread only, for callers that read
// several panoramas at once on their own threads).
cv::Mat readPanorama(const std::string& path, int threads = 0);

}  // namespace roombox
