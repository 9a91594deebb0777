#include "planes/refine_plane_against.h"

namespace roombox {

bool refinePlaneAgainst(const Plane& q, Plane& p) {
  if (q.active == 0.0f || q.type != p.type || q.position != p.position) return false;

  const bool spansU = q.uMin <= p.uMin && q.uMax >= p.uMax;
  const bool spansV = q.vMin <= p.vMin && q.vMax >= p.vMax;
  if (spansU) {
    if (spansV) {
      p.active = 0.0f;
      return true;
    }
    // q covers the upper v part of p: keep the part below q.
    if (q.vMin > p.vMin && q.vMin < p.vMax && q.vMax >= p.vMax) p.vMax = q.vMin;
    // q covers the lower v part of p: keep the part above q.
    if (q.vMin < p.vMin && q.vMax > p.vMin && q.vMax < p.vMax) p.vMin = q.vMax;
  } else if (spansV) {
    if (q.uMin > p.uMin && q.uMin < p.uMax && q.uMax >= p.uMax) p.uMax = q.uMin;
    if (q.uMin < p.uMin && q.uMax > p.uMin && q.uMax < p.uMax) p.uMin = q.uMax;
  }
  return false;
}

}  // namespace roombox
