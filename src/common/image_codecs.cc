#include "common/image_codecs.h"

#include "common/codec_entry_points.h"
#include "roombox/error.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <new>
#include <string>
#include <vector>

#ifndef ROOMBOX_CODECS_FROM_BINDIR
#error "ROOMBOX_CODECS_FROM_BINDIR must name the install's library folder relative to its bin folder"
#endif

namespace roombox {
namespace {

// The file this code was loaded from: the executable, or the shared object
// (the Python module) that holds it; empty when unknown. Sets `handle` to a
// handle of it (to be closed with dlclose), or null.
std::string ownFile(void** handle) {
  Dl_info info{};
  link_map* map = nullptr;
  std::string file;
  *handle = nullptr;
  if (dladdr1(reinterpret_cast<void*>(&ownFile), &info, reinterpret_cast<void**>(&map),
              RTLD_DL_LINKMAP) != 0 &&
      map != nullptr && map->l_name != nullptr && map->l_name[0] != '\0') {
    file = map->l_name;
    *handle = dlopen(map->l_name, RTLD_LAZY | RTLD_NOLOAD);
  } else {
    // The main program, whose name the loader does not record.
    std::vector<char> name(4096);
    const ssize_t n = readlink("/proc/self/exe", name.data(), name.size());
    if (n > 0 && static_cast<std::size_t>(n) < name.size()) file.assign(name.data(), n);
    *handle = dlopen(nullptr, RTLD_LAZY);
  }
  return file;
}

// The folders the dynamic loader searches for a library that the object
// behind `handle` opens by name: LD_LIBRARY_PATH, the object's run path, the
// system's folders. Named outright because a sanitizer's runtime intercepts
// dlopen, and the loader then searches the runtime's path, not the program's.
std::vector<std::string> searchFolders(void* handle) {
  std::vector<std::string> folders;
  if (handle == nullptr) return folders;
  Dl_serinfo size{};
  if (dlinfo(handle, RTLD_DI_SERINFOSIZE, &size) != 0 || size.dls_size < sizeof(Dl_serinfo)) {
    return folders;
  }
  // Dl_serinfo's array of paths runs past the struct, its strings after it.
  std::vector<Dl_serpath> storage(size.dls_size / sizeof(Dl_serpath) + 1);
  auto* paths = reinterpret_cast<Dl_serinfo*>(storage.data());
  paths->dls_size = size.dls_size;
  paths->dls_cnt = size.dls_cnt;
  if (dlinfo(handle, RTLD_DI_SERINFO, paths) != 0) return folders;
  for (unsigned int i = 0; i < paths->dls_cnt; ++i) {
    const char* name = paths->dls_serpath[i].dls_name;
    if (name != nullptr && name[0] != '\0') folders.push_back(std::string(name) + "/");
  }
  return folders;
}

// The dynamic loader reports no error number, only text: a library whose
// segments cannot be mapped (what an address-space or memory limit causes)
// is a shortage of memory, not a fault of the installation.
bool shortOfMemory(const std::string& reason) {
  return reason.find("failed to map segment") != std::string::npos ||
         reason.find("Cannot allocate memory") != std::string::npos;
}

// The entry points of the codec library.
struct CodecLibrary {
  CodecDecodeFunction* decode;
  CodecEncodeFunction* encode;
};

// Loads the codec library and finds its entry points. It is looked for
// beside the executable or shared object holding this code (a build folder,
// the Python package), in the library folder of an install that holds it
// (relative to its bin folder, so an install moved to another prefix still
// finds it), in the folders the dynamic loader searches for this program
// (LD_LIBRARY_PATH, the run path of the program that links roombox, the
// system's folders), and then by name. The library is opened with RTLD_NODELETE: closing the handle
// keeps it loaded, so the pointers stay valid for the life of the process,
// and opening it again later only finds it. Throws Error when no usable
// library is found, std::bad_alloc when there is not the memory to map it.
CodecLibrary loadCodecLibrary() {
  void* handle = nullptr;
  const std::string file = ownFile(&handle);
  const std::vector<std::string> searched = searchFolders(handle);
  if (handle != nullptr) dlclose(handle);
  const std::size_t slash = file.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
  std::vector<std::string> candidates;
  if (!folder.empty()) {
    candidates.push_back(folder + kCodecLibraryName);
    candidates.push_back(folder + ROOMBOX_CODECS_FROM_BINDIR + "/" + kCodecLibraryName);
  }
  for (const std::string& searchedFolder : searched) {
    candidates.push_back(searchedFolder + kCodecLibraryName);
  }
  // By name last: the loader's cache knows folders no search path names.
  candidates.push_back(kCodecLibraryName);
  std::string absent;
  std::string reasons;
  for (const std::string& candidate : candidates) {
    if (candidate != kCodecLibraryName && access(candidate.c_str(), F_OK) != 0) {
      absent += (absent.empty() ? "not in " : ", ") + candidate.substr(0, candidate.rfind('/') + 1);
      continue;
    }
    void* library = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (library == nullptr) {
      const char* reason = dlerror();
      const std::string text = reason != nullptr ? reason : candidate + ": unknown reason";
      if (shortOfMemory(text)) throw std::bad_alloc();
      reasons += (reasons.empty() ? "" : "; ") + text;
      continue;
    }
    auto* interface =
        reinterpret_cast<CodecInterfaceFunction*>(dlsym(library, kCodecInterfaceSymbol));
    const CodecLibrary found{
        reinterpret_cast<CodecDecodeFunction*>(dlsym(library, kCodecDecodeSymbol)),
        reinterpret_cast<CodecEncodeFunction*>(dlsym(library, kCodecEncodeSymbol))};
    dlclose(library);
    if (interface != nullptr && interface() == kCodecInterfaceVersion && found.decode != nullptr &&
        found.encode != nullptr) {
      return found;
    }
    reasons += (reasons.empty() ? "" : "; ") + candidate + ": of another roombox version";
  }
  if (!absent.empty()) reasons = absent + (reasons.empty() ? "" : "; ") + reasons;
  throw Error(std::string("Cannot load roombox's image codec library (") + kCodecLibraryName +
              "): " + reasons);
}

// The result of one entry point's call: throws std::bad_alloc when memory
// ran out; whether the call succeeded otherwise.
bool succeeded(int status) {
  if (status == kCodecNoMemory) throw std::bad_alloc();
  return status == kCodecDone;
}

}  // namespace

cv::Mat decodeImageFile(const std::string& path, int flags) {
  const CodecLibrary codecs = loadCodecLibrary();
  cv::Mat image;
  if (!succeeded(codecs.decode(path.c_str(), flags, &image))) return cv::Mat();
  return image;
}

bool encodeImage(const std::string& extension, const cv::Mat& image,
                 std::vector<unsigned char>& bytes, const std::vector<int>& parameters) {
  const CodecLibrary codecs = loadCodecLibrary();
  return succeeded(codecs.encode(extension.c_str(), &image, &bytes, parameters.data(),
                                 parameters.size()));
}

}  // namespace roombox
