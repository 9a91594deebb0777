#include "planes/retract_unlinked_edges.h"

#include "driver/scene_store.h"

void retractUnlinkedEdges(float margin) {
  std::vector<Plane>& planes = sceneStore.planes;
  const std::vector<EdgeLinks>& links = sceneStore.edgeLinks;
  for (int i = 0; i < sceneStore.planeCount; ++i) {
    Plane& plane = planes[i];
    if (plane.active == 0.0f) continue;
    if (links[i].uMinLinked == 0) plane.uMin += margin;
    if (links[i].uMaxLinked == 0) plane.uMax -= margin;
    if (links[i].vMinLinked == 0) plane.vMin += margin;
    if (links[i].vMaxLinked == 0) plane.vMax -= margin;
  }
}
