#pragma once

// The files the report page takes from beside it: three.js for its 3D view,
// and for each room with a GLB a script that hands the GLB's bytes to the
// page. Written as every output is (under a temporary name first).

#include <filesystem>
#include <string>

namespace roombox {

// Writes text at path. Throws Error when it cannot.
void writeText(const std::filesystem::path& path, const std::string& text);

// Writes three.js with its glTF loader and orbit controls into folder,
// each unless the file there holds it already.
void writeViewerScripts(const std::filesystem::path& folder);

// Writes into folder, unless it is there and newer than the GLB, the script
// that hands the GLB's bytes to the page, and returns its name; "" when the
// room has no GLB now.
std::string writeGlbScript(const std::filesystem::path& glb, const std::filesystem::path& folder);

}  // namespace roombox
