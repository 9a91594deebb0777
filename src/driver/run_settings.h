#pragma once

#include <string>

namespace roombox {

// The settings of one command-line run: the four positional arguments, the
// name of the texture image derived from the output prefix, and the named
// options.
struct RunSettings {
  std::string basePath;         // glued in front of every file name
  std::string planeInfoFile;    // plane info file name
  std::string outputPrefix;     // start of every output file name
  int saveOption = 0;           // which mesh file to write (0..3)
  std::string textureFileName;  // outputPrefix + "-texture.png", no base path
  bool preview = false;         // --preview: also write outputPrefix + "-preview.png"
  bool glb = false;             // --glb: also write outputPrefix + ".glb"
  bool bakedObj = false;        // --baked-obj: also write outputPrefix + "-baked.obj" and more
};

}  // namespace roombox
