#include "driver/output_file.h"

#include "driver/stop_run.h"

#include <vector>

FILE* openOutputFile(const std::string& path, const char* openFailureFormat) {
  FILE* file = std::fopen(path.c_str(), "w");
  if (file == nullptr) {
    std::vector<char> message(std::snprintf(nullptr, 0, openFailureFormat, path.c_str()) + 1);
    std::snprintf(message.data(), message.size(), openFailureFormat, path.c_str());
    stopRun(message.data());
  }
  // Only one output file is open at a time, so one static buffer serves all.
  static char buffer[1 << 20];
  std::setvbuf(file, buffer, _IOFBF, sizeof(buffer));
  return file;
}

void closeOutputFile(FILE* file, const std::string& path) {
  const bool writeFailed = std::ferror(file) != 0;
  const bool closeFailed = std::fclose(file) != 0;
  if (writeFailed || closeFailed) {
    stopRun("Cannot write " + path + "\n");
  }
}
