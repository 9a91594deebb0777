#pragma once

#include "roombox/plane.h"

namespace roombox {

// One step of plane range refinement: cuts plane p back by plane q, or
// switches it off. Only an active q of the same type as p at exactly the
// same position counts. When q covers p on both in-plane axes, p is switched
// off (active 0). When q covers p across the full
// width of one axis and overlaps one end of p on the other axis, p's range
// on that axis is cut back to q's near bound. A q lying strictly inside p
// changes nothing, so p is never split in two. Only p changes; q must be a
// different plane. Returns true when p was switched off, false otherwise.
bool refinePlaneAgainst(const Plane& q, Plane& p);

}  // namespace roombox
