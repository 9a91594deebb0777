#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace roombox {

// An output file open for writing in text mode, with a large buffer of its
// own. Closed when it goes out of scope (also when an exception passes);
// finish() closes it and reports whether everything reached the file.
struct OutputFile {
  std::string path;
  FILE* file = nullptr;
  std::unique_ptr<char[]> buffer;

  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();
};

// Opens path for writing into out. Throws Error with openFailureFormat (one
// %s, the path) when the file cannot be opened.
void openOutputFile(const std::string& path, OutputFile& out,
                    const char* openFailureFormat = "Cannot open %s\n");

// Closes out. Throws Error("Cannot write %s\n") with its path when any write
// to it failed or the close itself fails.
void closeOutputFile(OutputFile& out);

}  // namespace roombox
