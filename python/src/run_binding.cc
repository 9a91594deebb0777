// roombox.run and the command line from Python: glue over the driver's run
// sequence, with Python's standard output flushed before the library prints.

#include "run_binding.h"

#include "common/c_locale.h"
#include "conversions.h"
#include "driver/command_line.h"
#include "driver/run_sequence.h"

#include <cstdio>
#include <string>
#include <vector>

namespace py = pybind11;

namespace roombox_python {

namespace {

// Flushes Python's sys.stdout, so that what Python printed comes before the
// console lines that the library prints with printf.
void flushPythonStdout() {
  const py::object out = py::module_::import("sys").attr("stdout");
  if (!out.is_none() && py::hasattr(out, "flush")) out.attr("flush")();
}

// The paths of the files a complete run writes for settings, in the order
// it writes them.
std::vector<std::string> runFiles(const roombox::RunSettings& s) {
  std::vector<std::string> files = roombox::runOutputNames(s);
  for (std::string& file : files) file = s.basePath + file;
  return files;
}

}  // namespace

std::vector<std::string> run(const py::handle& basePath, const py::handle& planeFile,
                             const py::handle& prefix, int saveOption, bool glb, bool bakedObj,
                             bool preview, int threads) {
  roombox::RunSettings s;
  s.threads = threads;
  s.basePath = pathOf(basePath);
  s.planeInfoFile = pathOf(planeFile);
  s.outputPrefix = pathOf(prefix);
  s.saveOption = saveOption;
  s.textureFileName = roombox::textureFileNameFor(s.outputPrefix);
  s.preview = preview;
  s.glb = glb;
  s.bakedObj = bakedObj;
  flushPythonStdout();
  {
    py::gil_scoped_release release;
    const roombox::CLocaleScope cLocale;
    struct Flush {
      ~Flush() { std::fflush(stdout); }
    } flush;
    roombox::runRoom(s, stdout);
  }
  return runFiles(s);
}

int runCommandLine(const std::vector<std::string>& arguments) {
  std::vector<const char*> argv;
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  argv.push_back(nullptr);
  flushPythonStdout();
  py::gil_scoped_release release;
  const roombox::CLocaleScope cLocale;
  return roombox::runCommandLine(static_cast<int>(arguments.size()), argv.data());
}

}  // namespace roombox_python
