#include "common/image_codecs.h"

#include "roombox/error.h"

#include <opencv2/imgcodecs.hpp>

#include <dlfcn.h>

#include <new>
#include <string>
#include <type_traits>

#ifndef ROOMBOX_IMGCODECS_LIBRARY
#error "ROOMBOX_IMGCODECS_LIBRARY must name OpenCV's image codec library (its soname)"
#endif

#if !defined(_GLIBCXX_USE_CXX11_ABI) || !_GLIBCXX_USE_CXX11_ABI
#error "the symbol names below are those of the C++11 std::string ABI"
#endif

namespace roombox {
namespace {

// The functions' types, checked against OpenCV's declarations (decltype
// names them without referring to the symbols, so nothing is linked), and
// their symbol names in the library.
using ImreadFunction = cv::Mat(const cv::String&, int);
using ImencodeFunction = bool(const cv::String&, cv::InputArray, std::vector<uchar>&,
                              const std::vector<int>&);
static_assert(std::is_same<decltype(cv::imread), ImreadFunction>::value,
              "cv::imread is not declared as expected");
static_assert(std::is_same<decltype(cv::imencode), ImencodeFunction>::value,
              "cv::imencode is not declared as expected");
constexpr const char* kImreadSymbol =
    "_ZN2cv6imreadERKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEEi";
constexpr const char* kImencodeSymbol =
    "_ZN2cv8imencodeERKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEERKNS_11_InputArray"
    "ERSt6vectorIhSaIhEERKSB_IiSaIiEE";

// The dynamic loader reports no error number, only text: a library whose
// segments cannot be mapped (what an address-space or memory limit causes)
// is a shortage of memory, not a fault of the installation.
[[noreturn]] void failToLoad(const char* reason) {
  const std::string text = reason != nullptr ? reason : "unknown reason";
  if (text.find("failed to map segment") != std::string::npos ||
      text.find("Cannot allocate memory") != std::string::npos) {
    throw std::bad_alloc();
  }
  throw Error(std::string("Cannot load OpenCV's image codecs (") + ROOMBOX_IMGCODECS_LIBRARY +
              "): " + text + "\n");
}

// The library's function named symbol, as a pointer of type Function. The
// library is opened with RTLD_NODELETE: closing the handle afterwards keeps
// it loaded, so the pointer stays valid for the life of the process, and
// opening it again later only finds it.
template <typename Function>
Function* codecFunction(const char* symbol) {
  void* library = dlopen(ROOMBOX_IMGCODECS_LIBRARY, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (library == nullptr) failToLoad(dlerror());
  void* address = dlsym(library, symbol);
  const char* reason = address == nullptr ? dlerror() : nullptr;
  dlclose(library);
  if (address == nullptr) failToLoad(reason);
  return reinterpret_cast<Function*>(address);
}

}  // namespace

cv::Mat decodeImageFile(const std::string& path, int flags) {
  ImreadFunction* const imread = codecFunction<ImreadFunction>(kImreadSymbol);
  try {
    return imread(path, flags);
  } catch (const cv::Exception& e) {
    if (e.code == cv::Error::StsNoMem) throw std::bad_alloc();
    return cv::Mat();
  }
}

bool encodeImage(const std::string& extension, const cv::Mat& image,
                 std::vector<unsigned char>& bytes, const std::vector<int>& parameters) {
  ImencodeFunction* const imencode = codecFunction<ImencodeFunction>(kImencodeSymbol);
  try {
    return imencode(extension, image, bytes, parameters);
  } catch (const cv::Exception& e) {
    if (e.code == cv::Error::StsNoMem) throw std::bad_alloc();
    return false;
  }
}

}  // namespace roombox
