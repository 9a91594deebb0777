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

// Builds the scene model of a reconstruction from its planes, cuboids and
// rectangle mesh. Throws Error for a group without a label, or whose
// category or source does not exist, which mesh generation never makes.
SceneModel buildSceneModel(const std::vector<Plane>& planes, const std::vector<Cuboid>& cuboids,
                           const RectangleMesh& rectangles);

}  // namespace roombox
