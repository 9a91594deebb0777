#include "planes/refine_plane_range.h"

#include "driver/scene_store.h"

void refinePlaneRange(int index) {
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

void refinePlaneRanges() {
  for (int i = 0; i < sceneStore.planeCount; ++i) {
    if (sceneStore.planes[i].active != 0.0f) refinePlaneRange(i);
  }
}
