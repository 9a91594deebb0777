#include "planes/widen_plane_edges.h"

#include "driver/scene_store.h"

void widenPlaneEdges(float margin) {
  std::vector<Plane>& planes = sceneStore.planes;
  std::vector<EdgeLinks>& links = sceneStore.edgeLinks;
  const int count = sceneStore.planeCount;
  if (static_cast<int>(links.size()) < count) links.resize(count);

  for (int i = 0; i < count; ++i) {
    Plane& plane = planes[i];
    plane.uMin -= margin;
    plane.uMax += margin;
    plane.vMin -= margin;
    plane.vMax += margin;
    links[i] = EdgeLinks{0, 0, 0, 0};
  }
}
