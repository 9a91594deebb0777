#pragma once

namespace roombox {

// The release of this library and of the roombox command.
constexpr const char* kVersion = "1.1.0";

}  // namespace roombox
