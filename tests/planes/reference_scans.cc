// The plane connection and refinement scans as first written: every plane
// compared with every other one in index order, with no index. Each pair is
// handled by the same routine as in the indexed stages, so the tests that
// hold the indexed stages to these results check their choice of
// candidates.

#include "planes/reference_scans.h"

#include "driver/scene_store.h"
#include "planes/join_plane_pair.h"
#include "planes/refine_plane_against.h"
#include "planes/retract_unlinked_edges.h"
#include "planes/widen_plane_edges.h"

void referenceConnectPlane(int index) {
  std::vector<Plane>& planes = sceneStore.planes;
  std::vector<EdgeLinks>& links = sceneStore.edgeLinks;
  Plane& p = planes[index];
  if (p.type != 1.0f && p.type != 2.0f) return;

  for (int j = 0; j < sceneStore.planeCount; ++j) {
    joinPlanePair(p, links[index], planes[j], links[j]);
  }
}

void referenceConnectPlanes() {
  const float margin = 3 * sceneStore.cubeResolution;
  widenPlaneEdges(margin);
  for (int i = 0; i < sceneStore.planeCount; ++i) {
    if (sceneStore.planes[i].active != 0.0f) referenceConnectPlane(i);
  }
  retractUnlinkedEdges(margin);
}

void referenceRefinePlaneRange(int index) {
  std::vector<Plane>& planes = sceneStore.planes;
  for (int j = 0; j < sceneStore.planeCount; ++j) {
    if (j != index && refinePlaneAgainst(planes[j], planes[index])) return;
  }
}

void referenceRefinePlaneRanges() {
  for (int i = 0; i < sceneStore.planeCount; ++i) {
    if (sceneStore.planes[i].active != 0.0f) referenceRefinePlaneRange(i);
  }
}
