#pragma once

#include <opencv2/core.hpp>

#include <string>

namespace roombox {

// Reads the regular file at path and decodes it with decodePlainPng (the
// fast path for the common panorama). Returns an empty image when the file
// cannot be opened or read, or is not one that decodePlainPng takes; the
// caller then reads it with cv::imread. A file whose start already shows
// that it is not such a PNG is not read further. Throws std::bad_alloc when
// memory runs out.
cv::Mat readPlainPng(const std::string& path);

}  // namespace roombox
