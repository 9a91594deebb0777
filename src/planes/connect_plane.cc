#include "planes/connect_plane.h"

#include "planes/build_box_grid.h"
#include "planes/join_plane_pair.h"
#include "planes/plane_grid_box.h"
#include "planes/query_box_grid.h"
#include "planes/retract_unlinked_edges.h"
#include "planes/widen_plane_edges.h"

namespace roombox {

void connectPlane(int index, const BoxGrid& grid, std::vector<Plane>& planes,
                  std::vector<EdgeLinks>& links) {
  Plane& p = planes[index];
  if (p.type != 1.0f && p.type != 2.0f) return;

  // Only planes whose box meets p's can cross it; the grid lists them among
  // its candidates, in index order, which is the order of the scan.
  std::vector<int> candidates;
  queryBoxGrid(grid, planeGridBox(p), candidates);
  for (const int j : candidates) joinPlanePair(p, links[index], planes[j], links[j]);
}

std::vector<EdgeLinks> connectPlanes(float cubeResolution, std::vector<Plane>& planes) {
  const int count = static_cast<int>(planes.size());
  const float margin = 3 * cubeResolution;
  std::vector<EdgeLinks> links(planes.size(), EdgeLinks{0, 0, 0, 0});
  widenPlaneEdges(margin, planes);

  // Joining only ever moves an edge onto a position inside the plane's
  // range, so the widened boxes hold every plane for the whole stage.
  std::vector<GridBox> boxes;
  std::vector<int> ids;
  for (int i = 0; i < count; ++i) {
    const Plane& plane = planes[i];
    if (plane.active == 0.0f) continue;
    if (plane.type != 1.0f && plane.type != 2.0f && plane.type != 3.0f) continue;
    boxes.push_back(planeGridBox(plane));
    ids.push_back(i);
  }
  BoxGrid grid;
  buildBoxGrid(boxes, ids, grid);

  for (int i = 0; i < count; ++i) {
    if (planes[i].active != 0.0f) connectPlane(i, grid, planes, links);
  }
  retractUnlinkedEdges(margin, links, planes);
  return links;
}

}  // namespace roombox
