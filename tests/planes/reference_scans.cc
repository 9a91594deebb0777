// The plane connection and refinement scans as first written: every plane
// compared with every other one in index order, with no index. Each pair is
// handled by the same routine as in the indexed stages, so the tests that
// hold the indexed stages to these results check their choice of
// candidates.

#include "planes/reference_scans.h"

#include "planes/plane_connection.h"
#include "planes/range_refinement.h"

namespace roombox {

void referenceConnectPlane(int index, std::vector<Plane>& planes, std::vector<EdgeLinks>& links) {
  Plane& p = planes[index];
  if (p.type != 1.0f && p.type != 2.0f) return;

  const int count = static_cast<int>(planes.size());
  for (int j = 0; j < count; ++j) {
    joinPlanePair(p, links[index], planes[j], links[j]);
  }
}

std::vector<EdgeLinks> referenceConnectPlanes(float cubeResolution, std::vector<Plane>& planes) {
  const float margin = 3 * cubeResolution;
  std::vector<EdgeLinks> links(planes.size(), EdgeLinks{0, 0, 0, 0});
  widenPlaneEdges(margin, planes);
  const int count = static_cast<int>(planes.size());
  for (int i = 0; i < count; ++i) {
    if (planes[i].active != 0.0f) referenceConnectPlane(i, planes, links);
  }
  retractUnlinkedEdges(margin, links, planes);
  return links;
}

void referenceRefinePlaneRange(int index, std::vector<Plane>& planes) {
  const int count = static_cast<int>(planes.size());
  for (int j = 0; j < count; ++j) {
    if (j != index && refinePlaneAgainst(planes[j], planes[index])) return;
  }
}

void referenceRefinePlaneRanges(std::vector<Plane>& planes) {
  const int count = static_cast<int>(planes.size());
  for (int i = 0; i < count; ++i) {
    if (planes[i].active != 0.0f) referenceRefinePlaneRange(i, planes);
  }
}

}  // namespace roombox
