#pragma once

#include "roombox/plane.h"
#include "planes/edge_links.h"

namespace roombox {

// Joins plane p to plane q when the two cross, moving edges of either. Only
// an ordered pair with q active and p of type 1 with q of type 2 or 3, or p
// of type 2 with q of type 3, is examined; any other pair, a plane with
// itself included, changes nothing. The two cross when the position of each
// lies within the other's range on that (normal) axis and their ranges on
// the shared in-plane axis overlap. Then a plane whose extent on the shared
// axis is less than 1.5 times the overlap has its edge facing the other
// plane (chosen by its centre) moved onto the other plane's position, and
// that edge's flag in its links (pLinks for p, qLinks for q) set to 1. All
// measures are taken before either plane moves.
void joinPlanePair(Plane& p, EdgeLinks& pLinks, Plane& q, EdgeLinks& qLinks);

}  // namespace roombox
