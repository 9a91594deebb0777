#pragma once

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

// A folder under /tmp that a fuzz target writes its input files and outputs
// into, made on first use and removed when the process exits normally. The
// result ends with '/', ready to serve as a base path.
inline const std::string& scratchFolder() {
  // Never destroyed, so that the exit handler below can still use it.
  static const std::string* const folder = [] {
    char pattern[] = "/tmp/roombox-fuzz-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made == nullptr) {
      std::perror("mkdtemp");
      std::abort();
    }
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(*folder, ignored);
    });
    return new std::string(std::string(made) + "/");
  }();
  return *folder;
}

// Writes size bytes of data to path, replacing the file; aborts when that
// fails, since a target that cannot write its input tests nothing.
inline void writeWholeFile(const std::string& path, const unsigned char* data, std::size_t size) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) {
    std::perror(path.c_str());
    std::abort();
  }
}

// The tool prints its stage lines on standard output; a fuzz run discards
// them (libFuzzer reports on standard error).
inline void silenceStandardOutput() {
  if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
}
