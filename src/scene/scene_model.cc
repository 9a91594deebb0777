#include "roombox/scene_model.h"

#include "roombox/categories.h"
#include "roombox/error.h"
#include "scene/scene_description.h"

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
                " has no label, category or source\n");
  }
}

SceneEntry entryOf(const std::vector<Plane>& planes, const std::vector<Cuboid>& cuboids,
                   const RectangleMesh& rectangles, std::size_t g) {
  const RectangleGroup& group = rectangles.groups[g];
  SceneEntry entry;
  entry.name = sceneEntryName(group);
  entry.category = group.category;
  for (const char* material :
       sceneEntryMaterials(group, rectangles.groupLabels[g], planes, cuboids)) {
    entry.materials.emplace_back(material);
  }
  entry.kind = group.source == GroupSource::kCuboid ? EntryKind::kObject : EntryKind::kRoomSurface;
  entry.group = static_cast<int>(g);
  entry.sourceIndex = group.sourceIndex;
  entry.firstRectangle = group.firstRectangle;
  entry.lastRectangle = group.lastRectangle;
  return entry;
}

}  // namespace

SceneModel buildSceneModel(const std::vector<Plane>& planes, const std::vector<Cuboid>& cuboids,
                           const RectangleMesh& rectangles) {
  const std::vector<RectangleGroup>& groups = rectangles.groups;
  for (std::size_t g = 0; g < groups.size(); ++g) checkGroup(planes, cuboids, rectangles, g);
  SceneModel model;
  model.entries.reserve(groups.size());
  for (std::size_t g = 0; g < groups.size(); ++g) {
    if (groups[g].source == GroupSource::kCuboid) {
      model.entries.push_back(entryOf(planes, cuboids, rectangles, g));
    }
  }
  for (std::size_t g = 0; g < groups.size(); ++g) {
    if (groups[g].source == GroupSource::kPlane) {
      model.entries.push_back(entryOf(planes, cuboids, rectangles, g));
    }
  }
  return model;
}

}  // namespace roombox
