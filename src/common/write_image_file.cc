#include "common/write_image_file.h"

#include "common/output_file.h"
#include "roombox/error.h"

#include <opencv2/imgcodecs.hpp>

#include <cstdio>
#include <new>

namespace roombox {

void writeImageFile(const cv::Mat& image, const std::string& path, const std::string& extension,
                    const std::vector<int>& parameters) {
  std::vector<unsigned char> bytes;
  bool encoded = false;
  try {
    encoded = cv::imencode(extension, image, bytes, parameters);
  } catch (const cv::Exception& e) {
    if (e.code == cv::Error::StsNoMem) throw std::bad_alloc();
    encoded = false;
  }
  if (!encoded) throw Error("Cannot write " + path + "\n");
  OutputFile file;
  openOutputFile(path, file, "Cannot write %s\n");
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file.file);
  closeOutputFile(file);
}

}  // namespace roombox
