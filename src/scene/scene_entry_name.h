#pragma once

#include "roombox/mesh_store.h"

#include <string>

namespace roombox {

// The name the scene description gives the entry of a rectangle group: its
// category name and instance number joined by '_' ("Wall_2", "Bed_1"). The
// group's category must index the category names.
std::string sceneEntryName(const RectangleGroup& group);

}  // namespace roombox
