#include "common/output_file.h"

#include "common/file_names.h"
#include "common/image_codecs.h"
#include "roombox/error.h"


#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>
#include <vector>

namespace roombox {

namespace {

constexpr std::size_t kBufferSize = 1 << 20;
constexpr const char* kTemporaryMarker = ".roombox-tmp-";
constexpr std::size_t kRandomDigits = 12;
// Symbolic links followed before a name is taken as it stands (the kernel's
// own limit for path resolution).
constexpr int kMaxLinks = 40;

// Where an output named path should end up when written atomically: path
// itself, or what its chain of symbolic links points to (which need not
// exist yet). Returns false when the file must be written in place: it is no
// regular file, the chain cannot be followed, or the existing file is not
// writable (opening it then fails as it always did). *existing tells whether
// a file is there, and *mode its permission bits.
bool atomicTarget(const std::string& path, std::string& target, bool& existing, mode_t& mode) {
  target = path;
  for (int links = 0; links <= kMaxLinks; ++links) {
    struct stat status;
    if (::lstat(target.c_str(), &status) != 0) {
      existing = false;
      return errno == ENOENT;
    }
    if (S_ISLNK(status.st_mode)) {
      std::vector<char> link(static_cast<std::size_t>(status.st_size > 0 ? status.st_size : 255) + 2);
      const ssize_t length = ::readlink(target.c_str(), link.data(), link.size());
      if (length <= 0 || static_cast<std::size_t>(length) >= link.size()) return false;
      const std::string pointsTo(link.data(), static_cast<std::size_t>(length));
      target = pointsTo[0] == '/' ? pointsTo : folderPart(target) + pointsTo;
      continue;
    }
    if (!S_ISREG(status.st_mode)) return false;
    existing = true;
    mode = status.st_mode & 07777;
    return ::access(target.c_str(), W_OK) == 0;
  }
  return false;
}

// Creates a fresh temporary file beside target and returns its descriptor
// (-1 when none can be made), with its name in temporaryPath.
int createTemporaryFile(const std::string& target, std::string& temporaryPath) {
  static const char kHex[] = "0123456789abcdef";
  std::random_device device;
  std::mt19937_64 random((static_cast<std::uint64_t>(device()) << 32) ^ device() ^
                         static_cast<std::uint64_t>(::getpid()));
  const std::string stem = folderPart(target) + "." + fileNamePart(target) + kTemporaryMarker;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::uint64_t bits = random();
    std::string name = stem;
    for (std::size_t k = 0; k < kRandomDigits; ++k, bits >>= 4) name += kHex[bits & 15];
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      temporaryPath = name;
      return fd;
    }
    if (errno != EEXIST) return -1;
  }
  return -1;
}

// Opens out for writing, atomically when it can be; false when no file could
// be opened at all.
bool openFile(OutputFile& out) {
  std::string target;
  bool existing = false;
  mode_t mode = 0;
  const std::string name = fileNamePart(out.path);
  const bool named = !name.empty() && name != "." && name != "..";
  if (named && atomicTarget(out.path, target, existing, mode) && !fileNamePart(target).empty()) {
    std::string temporaryPath;
    const int fd = createTemporaryFile(target, temporaryPath);
    if (fd >= 0) {
      // The replacement keeps the permissions of the file it replaces; a new
      // file gets what the umask gives, as a file opened in place would.
      if (existing) (void)::fchmod(fd, mode);
      out.file = ::fdopen(fd, "w");
      if (out.file == nullptr) {
        ::close(fd);
        ::unlink(temporaryPath.c_str());
        return false;
      }
      out.finalPath = target;
      out.temporaryPath = temporaryPath;
      return true;
    }
  }
  // In place: devices, FIFOs, and folders where no temporary file can be
  // made, which then fail or succeed exactly as before.
  out.finalPath = out.path;
  out.temporaryPath.clear();
  out.file = std::fopen(out.path.c_str(), "w");
  return out.file != nullptr;
}

}  // namespace

OutputFile::~OutputFile() { discardOutputFile(*this); }

void openOutputFile(const std::string& path, OutputFile& out, const char* openFailureFormat) {
  discardOutputFile(out);
  out.path = path;
  if (!openFile(out)) {
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
  bool renamed = true;
  if (!out.temporaryPath.empty()) {
    if (!writeFailed && !closeFailed) {
      renamed = std::rename(out.temporaryPath.c_str(), out.finalPath.c_str()) == 0;
    }
    if (writeFailed || closeFailed || !renamed) ::unlink(out.temporaryPath.c_str());
    out.temporaryPath.clear();
  }
  if (writeFailed || closeFailed || !renamed) throw Error("Cannot write " + out.path);
}

void discardOutputFile(OutputFile& out) {
  if (out.file != nullptr) std::fclose(out.file);
  out.file = nullptr;
  if (!out.temporaryPath.empty()) ::unlink(out.temporaryPath.c_str());
  out.temporaryPath.clear();
}

bool isTemporaryOutputName(const std::string& fileName) {
  const std::size_t marker = std::char_traits<char>::length(kTemporaryMarker);
  if (fileName.size() < 1 + marker + kRandomDigits || fileName[0] != '.') return false;
  const std::size_t digits = fileName.size() - kRandomDigits;
  if (fileName.compare(digits - marker, marker, kTemporaryMarker) != 0) return false;
  for (std::size_t k = digits; k < fileName.size(); ++k) {
    const char c = fileName[k];
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

void writeImageFile(const cv::Mat& image, const std::string& path, const std::string& extension,
                    const std::vector<int>& parameters) {
  std::vector<unsigned char> bytes;
  if (!encodeImage(extension, image, bytes, parameters)) throw Error("Cannot write " + path);
  OutputFile file;
  openOutputFile(path, file, "Cannot write %s");
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file.file);
  closeOutputFile(file);
}

}  // namespace roombox
