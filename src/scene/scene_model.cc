#include "roombox/scene_model.h"

#include "common/plane_types.h"
#include "roombox/categories.h"
#include "roombox/error.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace roombox {

namespace {

// Throws when group g cannot be described: no label, a category without a
// name, or a source outside its list. Mesh generation never makes one.
void checkGroup(const std::vector<Plane>& planes, const std::vector<Cuboid>& cuboids,
                const RectangleMesh& rectangles, std::size_t g) {
  const RectangleGroup& group = rectangles.groups[g];
  const std::size_t sourceCount =
      group.source == GroupSource::kCuboid ? cuboids.size() : planes.size();
  const bool known = g < rectangles.groupLabels.size() && group.category >= 0 &&
                     group.category < kCategoryCount && group.sourceIndex >= 0 &&
                     static_cast<std::size_t>(group.sourceIndex) < sourceCount;
  if (!known) {
    throw Error("Cannot describe the scene: rectangle group " + std::to_string(g + 1) +
                " has no label, category or source");
  }
}

// The material names of a group's entry (see buildSceneModel); its source
// exists (checkGroup).
std::vector<std::string> entryMaterials(const RectangleGroup& group, const GroupLabel& label,
                                        const std::vector<Plane>& planes,
                                        const std::vector<Cuboid>& cuboids) {
  std::vector<std::string> names;
  // Flags 1..11 of the label, but those the surface lists itself.
  int skipA = 0;
  int skipB = 0;
  const char* const* added = nullptr;
  int addedCount = 0;
  static const char* const kFloorAdded[] = {"Painted"};
  static const char* const kWallAdded[] = {"Painted", "Brick"};
  if (group.source == GroupSource::kCuboid) {
    if (hasNoMaterial(cuboids[group.sourceIndex])) {
      names.emplace_back("Unknown");
      return names;
    }
  } else if (isFloorOrCeiling(planes[group.sourceIndex].type)) {
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
    if (k != skipA && k != skipB && label.materials[k] == 1) names.emplace_back(MaterialNames[k]);
  }
  for (int k = 0; k < addedCount; ++k) names.emplace_back(added[k]);
  return names;
}

SceneEntry entryOf(const std::vector<Plane>& planes, const std::vector<Cuboid>& cuboids,
                   const RectangleMesh& rectangles, std::size_t g) {
  const RectangleGroup& group = rectangles.groups[g];
  SceneEntry entry;
  entry.name = sceneEntryName(group);
  entry.category = group.category;
  entry.materials = entryMaterials(group, rectangles.groupLabels[g], planes, cuboids);
  entry.kind = group.source == GroupSource::kCuboid ? EntryKind::kObject : EntryKind::kRoomSurface;
  entry.group = static_cast<int>(g);
  entry.sourceIndex = group.sourceIndex;
  entry.firstRectangle = group.firstRectangle;
  entry.lastRectangle = group.lastRectangle;
  return entry;
}

}  // namespace

std::string sceneEntryName(const RectangleGroup& group) {
  char name[48];
  std::snprintf(name, sizeof(name), "%s_%d", categoryName(group.category), group.instance);
  return name;
}

SceneModel buildSceneModel(const std::vector<Plane>& planes, const std::vector<Cuboid>& cuboids,
                           const RectangleMesh& rectangles) {
  const std::vector<RectangleGroup>& groups = rectangles.groups;
  for (std::size_t g = 0; g < groups.size(); ++g) checkGroup(planes, cuboids, rectangles, g);
  SceneModel model;
  model.entries.reserve(groups.size());
  // Boxes first, then the room's surfaces, each in the order mesh generation
  // emitted them.
  for (const GroupSource source : {GroupSource::kCuboid, GroupSource::kPlane}) {
    for (std::size_t g = 0; g < groups.size(); ++g) {
      if (groups[g].source == source) model.entries.push_back(entryOf(planes, cuboids, rectangles, g));
    }
  }
  return model;
}

std::vector<const SceneEntry*> entriesInGroupOrder(const SceneModel& scene) {
  std::vector<const SceneEntry*> entries;
  entries.reserve(scene.entries.size());
  for (const SceneEntry& entry : scene.entries) entries.push_back(&entry);
  std::stable_sort(entries.begin(), entries.end(),
                   [](const SceneEntry* a, const SceneEntry* b) { return a->group < b->group; });
  return entries;
}

}  // namespace roombox
