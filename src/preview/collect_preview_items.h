#pragma once

#include "preview/preview_item.h"
#include "roombox/reconstruction.h"

#include <vector>

namespace roombox {

// Returns what the preview draws of room: one item per rectangle group of its
// mesh, in group order, so exactly the walls, floors, ceilings and boxes the
// run writes, with their scene description names. A wall, floor or ceiling
// gets the four edges of its plane's rectangle; a box its twelve edges,
// those whose faces are all switched off (room.cuboidFaces) hidden. A group
// whose category or source lies outside the reconstruction's
// lists is left out. Throws Error naming the item when a corner is not a
// finite number (it has no direction to be drawn in).
std::vector<PreviewItem> collectPreviewItems(const Reconstruction& room);

}  // namespace roombox
