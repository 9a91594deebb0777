#include "planes/retract_unlinked_edges.h"

#include <algorithm>

namespace roombox {

void retractUnlinkedEdges(float margin, const std::vector<EdgeLinks>& links,
                          std::vector<Plane>& planes) {
  const std::size_t count = std::min(planes.size(), links.size());
  for (std::size_t i = 0; i < count; ++i) {
    Plane& plane = planes[i];
    if (plane.active == 0.0f) continue;
    if (links[i].uMinLinked == 0) plane.uMin += margin;
    if (links[i].uMaxLinked == 0) plane.uMax -= margin;
    if (links[i].vMinLinked == 0) plane.vMin += margin;
    if (links[i].vMaxLinked == 0) plane.vMax -= margin;
  }
}

}  // namespace roombox
