#pragma once

#include "input/png_image_header.h"

#include <cstddef>

namespace roombox {

// Bytes at the start of a PNG file up to the end of its IHDR chunk: the
// signature, then the chunk's length, type, 13 data bytes and CRC.
constexpr std::size_t kPngStartSize = 33;

// Reads the first kPngStartSize bytes of a file into header and returns
// whether they start an image that the fast PNG decoder takes: a PNG
// signature and an intact IHDR chunk (right type, length and CRC) of an
// 8-bit truecolour image (colour type 2, or 6 with alpha) with the standard
// compression and filter methods, not interlaced, whose width and height
// are 1 to 1,000,000 pixels and at most 2^30 pixels in all: sizes that libpng
// and cv::imread both accept under their default limits. When one of
// OpenCV's image size limits is set in the environment, no image is taken,
// since cv::imread then judges sizes by it.
bool readPlainPngStart(const unsigned char* bytes, PngImageHeader& header);

}  // namespace roombox
