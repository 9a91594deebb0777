#pragma once

#include "planes/edge_links.h"
#include "roombox/plane.h"

#include <vector>

namespace roombox {

// Ends plane connection: pulls every edge of an active plane whose flag in
// links is still 0 back by margin, undoing the widening of widenPlaneEdges
// there. Inactive planes stay as they are.
// Precondition: links holds one record per plane.
void retractUnlinkedEdges(float margin, const std::vector<EdgeLinks>& links,
                          std::vector<Plane>& planes);

}  // namespace roombox
