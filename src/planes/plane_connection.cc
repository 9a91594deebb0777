#include "planes/plane_connection.h"

#include "common/plane_types.h"

#include <algorithm>

namespace roombox {

void widenPlaneEdges(float margin, std::vector<Plane>& planes) {
  for (Plane& plane : planes) {
    plane.uMin -= margin;
    plane.uMax += margin;
    plane.vMin -= margin;
    plane.vMax += margin;
  }
}

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

namespace {

// One pair of crossing orientations: P has normal axis x or y, Q a different
// one. Pointers select the fields of each plane that hold a range on an
// axis, and the centre field used to decide which edge moves.
struct PairFields {
  // Ranges on the shared in-plane axis.
  float Plane::*pSharedMin;
  float Plane::*pSharedMax;
  float Plane::*qSharedMin;
  float Plane::*qSharedMax;
  // P's range on Q's normal axis: the edges of P that move onto Q.
  float Plane::*pEdgeMin;
  float Plane::*pEdgeMax;
  int EdgeLinks::*pEdgeMinLinked;
  int EdgeLinks::*pEdgeMaxLinked;
  float Plane::*pCentre;  // P's centre on Q's normal axis
  // Q's range on P's normal axis: the edges of Q that move onto P.
  float Plane::*qEdgeMin;
  float Plane::*qEdgeMax;
  int EdgeLinks::*qEdgeMinLinked;
  int EdgeLinks::*qEdgeMaxLinked;
  float Plane::*qCentre;  // Q's centre on P's normal axis
};

// clang-format off
// P normal x (type 1), Q normal y (type 2): shared axis z.
constexpr PairFields kPairXY = {
    &Plane::vMin, &Plane::vMax,  // P on z
    &Plane::vMin, &Plane::vMax,  // Q on z
    &Plane::uMin, &Plane::uMax, &EdgeLinks::uMinLinked, &EdgeLinks::uMaxLinked,  // P on y
    &Plane::centreY,
    &Plane::uMin, &Plane::uMax, &EdgeLinks::uMinLinked, &EdgeLinks::uMaxLinked,  // Q on x
    &Plane::centreX};

// P normal x (type 1), Q normal z (type 3): shared axis y.
constexpr PairFields kPairXZ = {
    &Plane::uMin, &Plane::uMax,  // P on y
    &Plane::vMin, &Plane::vMax,  // Q on y
    &Plane::vMin, &Plane::vMax, &EdgeLinks::vMinLinked, &EdgeLinks::vMaxLinked,  // P on z
    &Plane::centreZ,
    &Plane::uMin, &Plane::uMax, &EdgeLinks::uMinLinked, &EdgeLinks::uMaxLinked,  // Q on x
    &Plane::centreX};

// P normal y (type 2), Q normal z (type 3): shared axis x.
constexpr PairFields kPairYZ = {
    &Plane::uMin, &Plane::uMax,  // P on x
    &Plane::uMin, &Plane::uMax,  // Q on x
    &Plane::vMin, &Plane::vMax, &EdgeLinks::vMinLinked, &EdgeLinks::vMaxLinked,  // P on z
    &Plane::centreZ,
    &Plane::vMin, &Plane::vMax, &EdgeLinks::vMinLinked, &EdgeLinks::vMaxLinked,  // Q on y
    &Plane::centreY};
// clang-format on

}  // namespace

void joinPlanePair(Plane& p, EdgeLinks& pLinks, Plane& q, EdgeLinks& qLinks) {
  if (q.active == 0.0f) return;
  const PairFields* fields = nullptr;
  const int pAxis = objectFaceAxis(p.type);
  const int qAxis = objectFaceAxis(q.type);
  if (pAxis == 0 && qAxis == 1) {
    fields = &kPairXY;
  } else if (pAxis == 0 && qAxis == 2) {
    fields = &kPairXZ;
  } else if (pAxis == 1 && qAxis == 2) {
    fields = &kPairYZ;
  } else {
    return;
  }
  const PairFields& f = *fields;

  const bool qWithinP = p.*f.pEdgeMin <= q.position && q.position <= p.*f.pEdgeMax;
  const bool pWithinQ = q.*f.qEdgeMin <= p.position && p.position <= q.*f.qEdgeMax;
  const bool sharedOverlap =
      q.*f.qSharedMin <= p.*f.pSharedMax && q.*f.qSharedMax >= p.*f.pSharedMin;
  if (!qWithinP || !pWithinQ || !sharedOverlap) return;

  // All measures come from the values before either plane moves. The
  // threshold stays in double: 1.5 times a float is exact there.
  const float overlap =
      std::min(p.*f.pSharedMax, q.*f.qSharedMax) - std::max(p.*f.pSharedMin, q.*f.qSharedMin);
  const double threshold = 1.5 * overlap;
  const float pExtent = p.*f.pSharedMax - p.*f.pSharedMin;
  const float qExtent = q.*f.qSharedMax - q.*f.qSharedMin;

  if (pExtent < threshold) {
    if (q.position < p.*f.pCentre) {
      p.*f.pEdgeMin = q.position;
      pLinks.*f.pEdgeMinLinked = 1;
    } else {
      p.*f.pEdgeMax = q.position;
      pLinks.*f.pEdgeMaxLinked = 1;
    }
  }
  if (qExtent < threshold) {
    if (p.position < q.*f.qCentre) {
      q.*f.qEdgeMin = p.position;
      qLinks.*f.qEdgeMinLinked = 1;
    } else {
      q.*f.qEdgeMax = p.position;
      qLinks.*f.qEdgeMaxLinked = 1;
    }
  }
}

void connectPlane(int index, const BoxGrid& grid, std::vector<Plane>& planes,
                  std::vector<EdgeLinks>& links) {
  Plane& p = planes[index];
  // Each pair is joined once, from its plane of the lower normal axis.
  const int axis = objectFaceAxis(p.type);
  if (axis != 0 && axis != 1) return;

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
    if (!isObjectFace(plane.type)) continue;
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
