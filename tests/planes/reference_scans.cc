// The plane connection and refinement scans as first written: every plane
// compared with every other one in index order, with no index. The tests
// hold the indexed stages to exactly these results.

#include "planes/reference_scans.h"

#include "driver/scene_store.h"

#include <algorithm>

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

// Examines one ordered pair of active planes p and q with the given field
// selection and moves edges of either when they cross.
void joinPair(const PairFields& f, Plane& p, EdgeLinks& pLinks, Plane& q, EdgeLinks& qLinks) {
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

}  // namespace

void referenceConnectPlane(int index) {
  std::vector<Plane>& planes = sceneStore.planes;
  std::vector<EdgeLinks>& links = sceneStore.edgeLinks;
  Plane& p = planes[index];
  if (p.type != 1.0f && p.type != 2.0f) return;

  for (int j = 0; j < sceneStore.planeCount; ++j) {
    Plane& q = planes[j];
    if (q.active == 0.0f) continue;
    const PairFields* fields = nullptr;
    if (p.type == 1.0f && q.type == 2.0f) {
      fields = &kPairXY;
    } else if (p.type == 1.0f && q.type == 3.0f) {
      fields = &kPairXZ;
    } else if (p.type == 2.0f && q.type == 3.0f) {
      fields = &kPairYZ;
    } else {
      continue;
    }
    // The types differ, so q is never p itself.
    joinPair(*fields, p, links[index], q, links[j]);
  }
}

void referenceConnectPlanes() {
  std::vector<Plane>& planes = sceneStore.planes;
  std::vector<EdgeLinks>& links = sceneStore.edgeLinks;
  const int count = sceneStore.planeCount;
  if (static_cast<int>(links.size()) < count) links.resize(count);
  const float margin = 3 * sceneStore.cubeResolution;

  for (int i = 0; i < count; ++i) {
    Plane& plane = planes[i];
    plane.uMin -= margin;
    plane.uMax += margin;
    plane.vMin -= margin;
    plane.vMax += margin;
    links[i] = EdgeLinks{0, 0, 0, 0};
  }

  for (int i = 0; i < count; ++i) {
    if (planes[i].active != 0.0f) referenceConnectPlane(i);
  }

  for (int i = 0; i < count; ++i) {
    Plane& plane = planes[i];
    if (plane.active == 0.0f) continue;
    if (links[i].uMinLinked == 0) plane.uMin += margin;
    if (links[i].uMaxLinked == 0) plane.uMax -= margin;
    if (links[i].vMinLinked == 0) plane.vMin += margin;
    if (links[i].vMaxLinked == 0) plane.vMax -= margin;
  }
}

void referenceRefinePlaneRange(int index) {
  std::vector<Plane>& planes = sceneStore.planes;
  Plane& p = planes[index];

  for (int j = 0; j < sceneStore.planeCount; ++j) {
    if (j == index) continue;
    const Plane& q = planes[j];
    if (q.active == 0.0f || q.type != p.type || q.position != p.position) continue;

    const bool spansU = q.uMin <= p.uMin && q.uMax >= p.uMax;
    const bool spansV = q.vMin <= p.vMin && q.vMax >= p.vMax;
    if (spansU) {
      if (spansV) {
        p.active = 0.0f;
        return;
      }
      // q covers the upper v part of p: keep the part below q.
      if (q.vMin > p.vMin && q.vMin < p.vMax && q.vMax >= p.vMax) p.vMax = q.vMin;
      // q covers the lower v part of p: keep the part above q.
      if (q.vMin < p.vMin && q.vMax > p.vMin && q.vMax < p.vMax) p.vMin = q.vMax;
    } else if (spansV) {
      if (q.uMin > p.uMin && q.uMin < p.uMax && q.uMax >= p.uMax) p.uMax = q.uMin;
      if (q.uMin < p.uMin && q.uMax > p.uMin && q.uMax < p.uMax) p.uMin = q.uMax;
    }
  }
}

void referenceRefinePlaneRanges() {
  for (int i = 0; i < sceneStore.planeCount; ++i) {
    if (sceneStore.planes[i].active != 0.0f) referenceRefinePlaneRange(i);
  }
}
