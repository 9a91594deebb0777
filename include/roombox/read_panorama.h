#pragma once

#include <opencv2/core.hpp>

#include <string>

namespace roombox {

// Loads the image at path as 8-bit, 3-channel colour (BGR), as the panorama
// or a view image. Throws Error("Cannot open the texture image - <path>")
// when it cannot be read or decoded, and std::bad_alloc when decoding runs
// out of memory. threads: how many threads the decode may use (0: as suits
// the image, up to two; 1: the calling thread only, for callers that read
// several panoramas at once on their own threads).
cv::Mat readPanorama(const std::string& path, int threads = 0);

// Reads the panorama as above, into the memory of an image the caller no
// longer uses (typically the panorama of the room before): a caller reading
// many panoramas of one size one after another then takes image memory, and
// has the kernel hand over and clear its pages, only once. memory is used
// when nothing else shares it and it is an 8-bit BGR image of the new
// panorama's width with enough rows behind it; otherwise it is let go before
// new memory is taken. memory is empty on return.
cv::Mat readPanorama(const std::string& path, int threads, cv::Mat& memory);

}  // namespace roombox
