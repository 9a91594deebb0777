#pragma once

#include "roombox/cuboid.h"
#include "roombox/mesh_store.h"
#include "roombox/plane.h"

#include <string>
#include <vector>

namespace roombox {

// What an entry of the scene stands for: a wall, the floor or the ceiling of
// the room box, or an object box.
enum class EntryKind { kRoomSurface, kObject };

// One entry of the scene: a wall, floor or ceiling plane or a box that mesh
// generation gave a rectangle group. Every output that names, orders or
// labels the scene's parts reads these records.
struct SceneEntry {
  std::string name;                    // "Bed_1": category name, '_', instance number
  int category = 0;                    // category index, 0..kCategoryCount-1
  std::vector<std::string> materials;  // material names, in the order the scene description lists them
  EntryKind kind = EntryKind::kObject;
  int group = 0;                       // its rectangle group (and label) in RectangleMesh
  int sourceIndex = 0;                 // its plane (room surface) or cuboid (object) index
  int firstRectangle = 0;              // its rectangles in the mesh: first..last,
  int lastRectangle = -1;              // last = first - 1 when it has none
};

// The entries of one reconstruction in the scene description's order: every
// box first, then every wall, floor and ceiling, each in group order.
struct SceneModel {
  std::vector<SceneEntry> entries;
};

// The name of the entry of a rectangle group: its category name and instance
// number joined by '_' ("Wall_2", "Bed_1"). A category outside 0..14 names
// None, though mesh generation never makes one.
std::string sceneEntryName(const RectangleGroup& group);

// Builds the scene model of a reconstruction from its planes, cuboids and
// rectangle mesh: names by sceneEntryName; materials for a box "Unknown"
// when its material code is 0, otherwise the names of its label's material
// flags; for a floor or ceiling the flags but Painted, then "Painted"; for a
// wall the flags but Painted and Brick, then "Painted" and "Brick". Throws
// Error for a group without a label, or whose category or source does not
// exist, which mesh generation never makes.
SceneModel buildSceneModel(const std::vector<Plane>& planes, const std::vector<Cuboid>& cuboids,
                           const RectangleMesh& rectangles);

// The entries of scene in the order of their rectangle groups (the order
// mesh generation emitted them: walls, floors and ceilings, then boxes).
std::vector<const SceneEntry*> entriesInGroupOrder(const SceneModel& scene);

}  // namespace roombox
