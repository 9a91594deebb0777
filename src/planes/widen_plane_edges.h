#pragma once

#include "roombox/plane.h"

#include <vector>

namespace roombox {

// Widens every plane (active or not) by margin on all four edges, ready for
// plane connection.
void widenPlaneEdges(float margin, std::vector<Plane>& planes);

}  // namespace roombox
