#include "planes/widen_plane_edges.h"

namespace roombox {

void widenPlaneEdges(float margin, std::vector<Plane>& planes) {
  for (Plane& plane : planes) {
    plane.uMin -= margin;
    plane.uMax += margin;
    plane.vMin -= margin;
    plane.vMax += margin;
  }
}

}  // namespace roombox
