#pragma once

#include <string>

namespace roombox {

// The settings of one command-line run: the four positional arguments and
// the name of the texture image derived from the output prefix.
struct RunSettings {
  std::string basePath;         // glued in front of every file name
  std::string planeInfoFile;    // plane info file name
  std::string outputPrefix;     // start of every output file name
  int saveOption = 0;           // which mesh file to write (0..3)
  std::string textureFileName;  // outputPrefix + "-texture.png", no base path
};

}  // namespace roombox
