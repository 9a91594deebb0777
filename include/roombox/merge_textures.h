#pragma once

#include "roombox/view_config.h"

#include <opencv2/core.hpp>

#include <string>

namespace roombox {

// Loads the panorama (basePath + the last views.textureNames slot, normally
// "shifted_t.png"), stacks it with one band per extra view (view i from
// textureNames slot i, below the panorama), saves the stacked image as
// basePath + textureFileName and returns the panorama (8-bit BGR). With no
// extra views the texture is the panorama itself, byte for byte its file
// when that is a plain 8-bit truecolour PNG.
//
// Throws Error when an image cannot be read ("Cannot open the texture image -
// %s"), a view image differs in size from the panorama ("Texture image
// sizes are different "), or the texture cannot be written ("Cannot write
// %s"). threads: how many threads the panorama's decode may use, as for
// readPanorama.
cv::Mat mergeTextures(const std::string& basePath, const std::string& textureFileName,
                      const ViewConfig& views = ViewConfig{}, int threads = 0);

// As above, decoding the panorama into the memory of an image the caller no
// longer uses, as readPanorama(path, threads, memory) does; memory is empty
// on return.
cv::Mat mergeTextures(const std::string& basePath, const std::string& textureFileName,
                      const ViewConfig& views, int threads, cv::Mat& memory);

}  // namespace roombox
