#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

// A fresh folder of its own for one test, removed with everything in it when
// the test ends. path() ends with '/', ready to serve as a base path. When no
// folder can be made the test fails; nothing outside a folder made here is
// ever removed.
class TempDir {
 public:
  TempDir() {
    std::error_code error;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error);
    std::string pattern = (error ? std::filesystem::path("/tmp") : base).string();
    pattern += "/roombox-test-XXXXXX";
    if (mkdtemp(&pattern[0]) != nullptr) {
      made_ = pattern;
      path_ = pattern + "/";
    } else {
      ADD_FAILURE() << "cannot make a temporary folder from " << pattern;
    }
  }
  ~TempDir() {
    if (made_.empty()) return;
    std::error_code error;
    std::filesystem::remove_all(made_, error);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }

  // Writes text to the file name inside the folder and returns its full path.
  std::string write(const std::string& name, const std::string& text) const {
    std::ofstream out(path_ + name, std::ios::binary);
    out << text;
    return path_ + name;
  }

  // Reads a whole file of the folder; empty when it does not exist.
  std::string read(const std::string& name) const {
    std::ifstream in(path_ + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

 private:
  std::string made_;  // the folder made, without the trailing '/'
  std::string path_;  // empty when no folder could be made
};
