#pragma once

#include "preview/preview_item.h"
#include "roombox/cuboid.h"

#include <vector>

namespace roombox {

// Returns the twelve edges of box: four along x, then four along y, then four
// along z. An edge is hidden when both faces it borders are switched off in
// shown; an edge with at least one face in the mesh is not.
std::vector<PreviewEdge> boxEdges(const Cuboid& box, const CuboidFaces& shown);

}  // namespace roombox
