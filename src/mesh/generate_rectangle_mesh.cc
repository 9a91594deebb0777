#include "mesh/generate_rectangle_mesh.h"

#include "driver/scene_store.h"
#include "mesh/category_index.h"
#include "mesh/decode_materials.h"
#include "mesh/emit_cuboid_rectangles.h"
#include "mesh/emit_plane_rectangle.h"

#include <algorithm>
#include <cstddef>

namespace {

constexpr int kWall = 13;
constexpr int kCeiling = 3;
constexpr int kFloor = 5;

// Makes sure entry `index` exists in groups and groupLabels; new entries are
// all zero. A store whose groups the driver has not set up starts with the
// usual kGroupSlots.
void ensureGroupSlot(int index) {
  const std::size_t needed = static_cast<std::size_t>(index) + 1;
  const std::size_t initial = kGroupSlots;
  std::vector<RectangleGroup>& groups = sceneStore.groups;
  std::vector<GroupLabel>& labels = sceneStore.groupLabels;
  if (groups.size() < needed) {
    groups.resize(std::max({needed, 2 * groups.size(), initial}), RectangleGroup{});
  }
  if (labels.size() < needed) {
    labels.resize(std::max({needed, 2 * labels.size(), initial}), GroupLabel{});
  }
}

// Opens group groupCount for an element of `category` and returns its
// index: counts the instance and records the first rectangle.
int openGroup(int category, float material) {
  const int index = sceneStore.groupCount;
  ensureGroupSlot(index);
  const int instance = ++sceneStore.categoryCounters[category];
  sceneStore.groups[index] =
      RectangleGroup{category, instance, sceneStore.mesh.rectangleCount, 0};
  GroupLabel& label = sceneStore.groupLabels[index];
  label.category = category;
  decodeMaterials(material, label.materials);
  return index;
}

// Closes group `index` after its element was emitted.
void closeGroup(int index) {
  sceneStore.groups[index].lastRectangle = sceneStore.mesh.rectangleCount - 1;
  ++sceneStore.groupCount;
}

}  // namespace

void generateRectangleMesh() {
  SceneStore& store = sceneStore;
  const int planeCount =
      static_cast<int>(std::min<std::size_t>(std::max(store.planeCount, 0), store.planes.size()));
  for (int i = 0; i < planeCount; ++i) {
    const Plane& plane = store.planes[i];
    if (plane.type != 7.0f && plane.type != 8.0f && plane.type != 9.0f) continue;
    int category = kWall;
    if (plane.type == 8.0f) category = plane.position > 0 ? kCeiling : kFloor;
    const int group = openGroup(category, plane.material);
    emitPlaneRectangle(i);
    closeGroup(group);
  }

  const int cuboidCount = static_cast<int>(
      std::min<std::size_t>(std::max(store.cuboidCount, 0), store.cuboids.size()));
  for (int j = 0; j < cuboidCount; ++j) {
    const Cuboid& box = store.cuboids[j];
    if (box.kind != 1.0f) continue;
    const int group = openGroup(categoryIndex(box.category), box.material);
    emitCuboidRectangles(j);
    closeGroup(group);
  }
}
