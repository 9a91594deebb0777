#pragma once

#include "input/png_chunks.h"

#include <opencv2/core.hpp>

#include <cstddef>
#include <cstdint>
#include <string>

namespace roombox {

// Decodes the PNG file held whole in bytes[0, size) to the 8-bit BGR image
// that cv::imread(path, cv::IMREAD_COLOR) gives for it, when the file is one
// this decoder is sure of: a well-formed chunk sequence (signature, IHDR
// first, every chunk's CRC right, nothing after IEND) of IHDR, one or more
// IDAT chunks and IEND and nothing else; an 8-bit truecolour image (colour
// type 2, or 6 with alpha), standard compression and filter methods, not
// interlaced, 1 to 1,000,000 pixels a side and at most 2^30 pixels in all
// (sizes libpng and cv::imread both accept under their default limits), and
// no OpenCV image size limit set in the environment; the zlib stream
// exactly as long as the IDAT data, with a right header and Adler-32, its
// window large enough for the image, and inflating to exactly the image's
// filtered rows. Returns an empty image for every other file: the caller then
// decodes it with cv::imread, which also gives the verdict on broken files.
// A stream that inflates to many times its size (long matches: rendered or
// flat images) is inflated at once, then its rows undone, on the calling
// thread. Other streams (photographs) are inflated piece by piece; for a
// large image the calling thread inflates while a second thread undoes the
// row filters (threads 0: as suits the image; 1: the calling thread only,
// for callers that decode several images at once); the second thread is
// joined before the function returns. The decoded image is the only large
// allocation. Throws std::bad_alloc when memory runs out.
cv::Mat decodePlainPng(const unsigned char* bytes, std::size_t size, int threads = 0);

// Reads the regular file at path, a window at a time (never mapped, and
// never held whole besides the image), and decodes it as decodePlainPng does
// (the fast path for the common panorama). Returns an empty image when the
// file cannot be opened or read, is cut short while it is read, or is not
// one that decodePlainPng takes; the caller then reads it with cv::imread. A
// file whose start already shows that it is not such a PNG, or that is far
// larger than its pixels, is not read further. Throws std::bad_alloc when
// memory runs out. threads as for decodePlainPng. memory, when given, is
// an image the caller no longer uses (an earlier result, typically): when
// nothing else shares it and it is a continuous 8-bit BGR image of the same
// width with at least the rows the decode needs, the image is decoded into
// its memory, which is then neither taken nor faulted in anew; it is left
// empty once decoding begins.
cv::Mat readPlainPng(const std::string& path, int threads = 0, cv::Mat* memory = nullptr);

// Whether the PNG file held whole in bytes[0, size) decodes to exactly its
// stored samples, so that a copy of its bytes is a lossless copy of the
// decoded width x height image: a well-formed chunk sequence (as for
// decodePlainPng) of an 8-bit truecolour image without transparency (colour
// type 2, no tRNS chunk), with no Exif data (which could make a decoder turn
// the image) and no animation. Other ancillary chunks and interlacing are
// allowed: they do not change the decoded pixels.
bool isPlainTruecolourPng(const unsigned char* bytes, std::size_t size, int width, int height);

// Whether the regular file open for reading at fd is one that
// isPlainTruecolourPng takes for a width x height image, read a window at a
// time. Returns false when it cannot be read, is cut short while it is read,
// is not such a PNG, or is far larger than its pixels.
bool isPlainTruecolourPngFile(int fd, int width, int height);

}  // namespace roombox
