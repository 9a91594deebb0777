#pragma once

#include <pybind11/pybind11.h>

#include <string>
#include <vector>

namespace roombox_python {

// Does what `roombox base_path plane_file prefix save_option` does (with
// --glb, --baked-obj and --preview as asked), console lines included, and
// returns the paths of the files it wrote. Releases the GIL while it runs.
std::vector<std::string> run(const pybind11::handle& basePath, const pybind11::handle& planeFile,
                             const pybind11::handle& prefix, int saveOption, bool glb,
                             bool bakedObj, bool preview, int threads);

// Runs the command line with arguments (argv[0] first); returns its exit
// status. Releases the GIL while it runs.
int runCommandLine(const std::vector<std::string>& arguments);

}  // namespace roombox_python
