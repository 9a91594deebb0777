#pragma once

#include <string>

namespace roombox {

// Throws Error("The file <path> is malformed: <detail>\n"). Shared by the
// readers of plane info and affine transform files, so that every malformed
// input is reported alike.
[[noreturn]] void throwMalformed(const std::string& path, const std::string& detail);

}  // namespace roombox
