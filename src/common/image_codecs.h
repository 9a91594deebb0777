#pragma once

#include <opencv2/core.hpp>

#include <string>
#include <vector>

namespace roombox {

// OpenCV's image codecs, cv::imread and cv::imencode, called through
// roombox's codec library (libroombox_codecs.so, src/codecs), loaded when
// first needed instead of at the program's start. It links OpenCV's codec
// library, which brings some 140 others with it (GDAL, DICOM, HEIF, video
// codecs), whose loading and symbol binding cost every process about 0.15 s,
// while a run on a plain PNG panorama without a preview or a baked model
// never decodes or encodes through it. Once loaded the library stays (the
// dynamic loader keeps it; nothing here holds state), and behaves exactly as
// when linked. Both functions throw Error("Cannot load roombox's image codec
// library (libroombox_codecs.so): <reasons>") when no library of this
// roombox is found (see loadCodecLibrary in the source for where it is
// looked for), and std::bad_alloc when there is not the memory to map it or
// OpenCV runs out of memory. Any other exception of OpenCV's is a failure of
// the image: some files make cv::imread throw instead of returning an empty
// image (one declaring more pixels than it accepts).

// cv::imread(path, flags): the decoded image, empty when the file cannot be
// read or decoded.
cv::Mat decodeImageFile(const std::string& path, int flags);

// cv::imencode(extension, image, bytes, parameters): encodes image in the
// format of extension (".png", ".jpg") into bytes; false when it cannot.
bool encodeImage(const std::string& extension, const cv::Mat& image,
                 std::vector<unsigned char>& bytes, const std::vector<int>& parameters);

}  // namespace roombox
