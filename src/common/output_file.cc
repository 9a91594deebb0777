#include "common/output_file.h"

#include "roombox/error.h"

#include <vector>

namespace roombox {

namespace {

constexpr std::size_t kBufferSize = 1 << 20;

}  // namespace

OutputFile::~OutputFile() {
  if (file != nullptr) std::fclose(file);
}

void openOutputFile(const std::string& path, OutputFile& out, const char* openFailureFormat) {
  out.path = path;
  out.file = std::fopen(path.c_str(), "w");
  if (out.file == nullptr) {
    std::vector<char> message(std::snprintf(nullptr, 0, openFailureFormat, path.c_str()) + 1);
    std::snprintf(message.data(), message.size(), openFailureFormat, path.c_str());
    throw Error(message.data());
  }
  out.buffer.reset(new char[kBufferSize]);
  std::setvbuf(out.file, out.buffer.get(), _IOFBF, kBufferSize);
}

void closeOutputFile(OutputFile& out) {
  FILE* file = out.file;
  out.file = nullptr;
  const bool writeFailed = file == nullptr || std::ferror(file) != 0;
  const bool closeFailed = file != nullptr && std::fclose(file) != 0;
  if (writeFailed || closeFailed) throw Error("Cannot write " + out.path + "\n");
}

}  // namespace roombox
