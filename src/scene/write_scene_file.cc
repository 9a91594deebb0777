#include "scene/write_scene_file.h"

#include "driver/output_file.h"
#include "driver/scene_store.h"

#include <cstdio>
#include <string>

// Writes the scene description text and a closing line feed to
// basePath + outputPrefix + ".JSON".
void writeSceneFile() {
  const std::string path = sceneStore.basePath + sceneStore.outputPrefix + ".JSON";
  FILE* file = openOutputFile(path);
  const std::string& text = sceneStore.sceneText;
  std::fwrite(text.data(), 1, text.size(), file);
  std::fputc('\n', file);
  closeOutputFile(file, path);
}
