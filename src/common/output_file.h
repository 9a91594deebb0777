#pragma once

#include <opencv2/core.hpp>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace roombox {

// An output file open for writing in text mode, with a large buffer of its
// own. A regular file (or a name not yet taken) is written under a temporary
// name in the same folder, `.<name>.roombox-tmp-<12 hex digits>`, and renamed
// onto its final name only when closeOutputFile finds every write and the
// close successful: a run that fails or is killed never leaves a partial file
// under the final name, and an earlier file of that name stays as it was
// until the new one replaces it. A symbolic link keeps its link: the file it
// points to is replaced, its temporary file beside it. Names that are no
// regular file (a device such as /dev/null, a FIFO) are written in place, as
// are files whose folder does not let a temporary file be made there.
// Closed when it goes out of scope (also when an exception passes), and then
// its temporary file is removed.
struct OutputFile {
  std::string path;           // the name the caller asked for, used in messages
  std::string finalPath;      // the file the temporary file is renamed onto
  std::string temporaryPath;  // empty when written in place
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
                    const char* openFailureFormat = "Cannot open %s");

// Closes out and puts the file under its final name. Throws
// Error("Cannot write %s") with its path when any write to it failed, the
// close itself fails or the rename fails; the temporary file is then removed
// and whatever had the final name before is left as it was.
void closeOutputFile(OutputFile& out);

// Closes out without putting it under its final name: its temporary file is
// removed (a file written in place keeps what was written).
void discardOutputFile(OutputFile& out);

// Whether fileName (a name without folder) has the form of the temporary
// names above, as a run that was killed may leave behind.
bool isTemporaryOutputName(const std::string& fileName);

// Encodes image in the format of `extension` (".png", ".jpg", ...) with
// OpenCV's encoder parameters and writes the bytes to path. Throws
// Error("Cannot write <path>") when the image cannot be encoded or the file
// cannot be opened or written completely, and std::bad_alloc when encoding
// runs out of memory.
void writeImageFile(const cv::Mat& image, const std::string& path, const std::string& extension,
                    const std::vector<int>& parameters = {});

}  // namespace roombox
