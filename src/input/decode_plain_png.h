#pragma once

#include <opencv2/core.hpp>

#include <cstddef>

namespace roombox {

// Decodes the PNG file held whole in bytes[0, size) to the 8-bit BGR image
// that cv::imread(path, cv::IMREAD_COLOR) gives for it, when the file is one
// this decoder is sure of: an image that readPlainPngStart takes, made of its
// IHDR chunk, one or more IDAT chunks and an IEND chunk and nothing else,
// every chunk's CRC right, the zlib stream (inflated with libdeflate) exactly
// as long as the IDAT data, its Adler-32 right and its window large enough
// for the image, and inflating to exactly the image's filtered rows. Returns
// an empty image for every other file: the caller then decodes it with
// cv::imread, which also gives the verdict on broken files. Overwrites bytes
// (the IDAT data is gathered at its start). Throws std::bad_alloc when
// memory runs out.
cv::Mat decodePlainPng(unsigned char* bytes, std::size_t size);

}  // namespace roombox
