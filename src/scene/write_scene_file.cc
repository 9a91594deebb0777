#include "roombox/write_scene_file.h"

#include "common/output_file.h"

#include <cstdio>

namespace roombox {

void writeSceneFile(const std::string& sceneText, const std::string& path) {
  OutputFile out;
  openOutputFile(path, out);
  std::fwrite(sceneText.data(), 1, sceneText.size(), out.file);
  std::fputc('\n', out.file);
  closeOutputFile(out);
}

}  // namespace roombox
