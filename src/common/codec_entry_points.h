#pragma once

// The entry points of roombox's codec library (libroombox_codecs.so, built
// from src/codecs), which wraps OpenCV's image codecs and is loaded when
// first needed (common/image_codecs.h). Plain C names, so that finding them
// depends on no compiler's name mangling; the loader and the library both
// include this header, so their types agree.

#include <cstddef>

namespace roombox {

// The library's file name, as installed beside roombox's libraries.
constexpr const char* kCodecLibraryName = "libroombox_codecs.so";

// Raised whenever an entry point's meaning or types change: a library of
// another roombox build is refused rather than called.
constexpr int kCodecInterfaceVersion = 1;

// What an entry point returns.
enum CodecStatus : int {
  kCodecDone = 0,      // decoded or encoded
  kCodecFailed = 1,    // the image cannot be read, decoded or encoded
  kCodecNoMemory = 2,  // memory ran out
};

// The entry points' names and types. image is a cv::Mat, bytes a
// std::vector<unsigned char>; nothing is thrown across them.
constexpr const char* kCodecInterfaceSymbol = "roombox_codecs_interface";
constexpr const char* kCodecDecodeSymbol = "roombox_codecs_decode_file";
constexpr const char* kCodecEncodeSymbol = "roombox_codecs_encode";
using CodecInterfaceFunction = int();
// cv::imread(path, flags) into *image.
using CodecDecodeFunction = int(const char* path, int flags, void* image);
// cv::imencode(extension, *image, *bytes, parameters[0, parameterCount)).
using CodecEncodeFunction = int(const char* extension, const void* image, void* bytes,
                                const int* parameters, std::size_t parameterCount);

}  // namespace roombox
