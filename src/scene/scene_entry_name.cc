#include "scene/scene_entry_name.h"

#include "roombox/categories.h"

#include <cstdio>

namespace roombox {

std::string sceneEntryName(const RectangleGroup& group) {
  char name[48];
  std::snprintf(name, sizeof(name), "%s_%d", CategoryNames[group.category], group.instance);
  return name;
}

}  // namespace roombox
