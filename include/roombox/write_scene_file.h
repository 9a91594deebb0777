#pragma once

#include <string>

namespace roombox {

// Writes the scene description text and one line feed to path. Throws
// Error("Cannot open %s\n") or Error("Cannot write %s\n") when the file
// cannot be opened or written completely.
void writeSceneFile(const std::string& sceneText, const std::string& path);

}  // namespace roombox
