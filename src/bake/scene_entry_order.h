#pragma once

#include "roombox/mesh_store.h"

#include <vector>

namespace roombox {

// The indices of groups in the order the scene description lists them:
// the groups of boxes, then those of walls, floors and ceilings, each in
// group order.
std::vector<int> sceneEntryOrder(const std::vector<RectangleGroup>& groups);

}  // namespace roombox
