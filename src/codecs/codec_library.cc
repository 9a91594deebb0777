// roombox's codec library: OpenCV's cv::imread and cv::imencode behind the
// plain C entry points of common/codec_entry_points.h. Loaded by roombox
// when an image must be decoded or encoded by OpenCV (common/image_codecs),
// so that a run that needs neither never loads OpenCV's codec library and
// the some 140 libraries it brings.

#include "common/codec_entry_points.h"

#include <opencv2/imgcodecs.hpp>

#include <cstddef>
#include <new>
#include <type_traits>
#include <vector>

namespace {

using roombox::CodecStatus;

// Runs an OpenCV call, turning what it throws into a status: running out of
// memory is reported as such; any other exception is a failure of the image
// (some files make cv::imread throw instead of returning an empty image).
template <typename Call>
int guarded(Call call) {
  try {
    return call() ? roombox::kCodecDone : roombox::kCodecFailed;
  } catch (const std::bad_alloc&) {
    return roombox::kCodecNoMemory;
  } catch (const cv::Exception& e) {
    return e.code == cv::Error::StsNoMem ? roombox::kCodecNoMemory : roombox::kCodecFailed;
  } catch (...) {
    return roombox::kCodecFailed;
  }
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int roombox_codecs_interface() {
  return roombox::kCodecInterfaceVersion;
}

__attribute__((visibility("default"))) int roombox_codecs_decode_file(const char* path, int flags,
                                                                      void* image) {
  return guarded([&] {
    cv::Mat& result = *static_cast<cv::Mat*>(image);
    result = cv::imread(path, flags);
    return !result.empty();
  });
}

__attribute__((visibility("default"))) int roombox_codecs_encode(const char* extension,
                                                                 const void* image, void* bytes,
                                                                 const int* parameters,
                                                                 std::size_t parameterCount) {
  return guarded([&] {
    return cv::imencode(extension, *static_cast<const cv::Mat*>(image),
                        *static_cast<std::vector<unsigned char>*>(bytes),
                        std::vector<int>(parameters, parameters + parameterCount));
  });
}

}  // extern "C"

// The types above must be those the loader calls through.
static_assert(std::is_same<decltype(roombox_codecs_interface), roombox::CodecInterfaceFunction>::value,
              "roombox_codecs_interface");
static_assert(std::is_same<decltype(roombox_codecs_decode_file), roombox::CodecDecodeFunction>::value,
              "roombox_codecs_decode_file");
static_assert(std::is_same<decltype(roombox_codecs_encode), roombox::CodecEncodeFunction>::value,
              "roombox_codecs_encode");
