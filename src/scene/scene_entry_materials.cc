#include "scene/scene_entry_materials.h"

#include "roombox/categories.h"

namespace roombox {

std::vector<const char*> sceneEntryMaterials(const RectangleGroup& group, const GroupLabel& label,
                                             const std::vector<Plane>& planes,
                                             const std::vector<Cuboid>& cuboids) {
  std::vector<const char*> names;
  // Flags 1..11 of the label, but those the surface lists itself.
  int skipA = 0;
  int skipB = 0;
  const char* const* added = nullptr;
  int addedCount = 0;
  static const char* const kFloorAdded[] = {"Painted"};
  static const char* const kWallAdded[] = {"Painted", "Brick"};
  if (group.source == GroupSource::kCuboid) {
    if (cuboids[group.sourceIndex].material == 0.0f) {
      names.push_back("Unknown");
      return names;
    }
  } else if (planes[group.sourceIndex].type == 8.0f) {
    skipA = 2;
    added = kFloorAdded;
    addedCount = 1;
  } else {
    skipA = 2;
    skipB = 5;
    added = kWallAdded;
    addedCount = 2;
  }
  for (int k = 1; k <= 11; ++k) {
    if (k != skipA && k != skipB && label.materials[k] == 1) names.push_back(MaterialNames[k]);
  }
  for (int k = 0; k < addedCount; ++k) names.push_back(added[k]);
  return names;
}

}  // namespace roombox
