#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

// A fresh folder under /tmp for one test, removed when the test ends.
// path() ends with '/', ready to serve as a base path.
class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/roombox-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    path_ = made != nullptr ? std::string(made) + "/" : std::string("/tmp/");
  }
  ~TempDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
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
  std::string path_;
};
