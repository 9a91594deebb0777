#pragma once

#include "planes/box_grid.h"
#include "roombox/plane.h"

#include <vector>

namespace roombox {

// Per-plane flags of plane connection: 1 when that edge was moved onto
// another plane during the stage, 0 otherwise.
struct EdgeLinks {
  int uMinLinked;
  int uMaxLinked;
  int vMinLinked;
  int vMaxLinked;
};

// Widens every plane (active or not) by margin on all four edges, ready for
// plane connection.
void widenPlaneEdges(float margin, std::vector<Plane>& planes);

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

// Closes the gaps between crossing object planes, in place. Every plane is
// widened by three grid steps (3 * cubeResolution) on all four edges; each
// active plane, in index order, is then joined to the planes it crosses
// (connectPlane); finally every edge of an active plane that was not joined
// is pulled back by the same margin. Inactive planes stay widened. Returns
// the edge flags of every plane: which of its edges were joined.
std::vector<EdgeLinks> connectPlanes(float cubeResolution, std::vector<Plane>& planes);

// Joins plane `index` (0 <= index < planes.size()) to every active plane it
// crosses, in index order. Only a type 1 or type 2 plane P does anything: it
// is paired with active type 2 and 3 planes (P type 1) or type 3 planes (P
// type 2). Where the two cross and their overlap on the shared in-plane axis
// is more than two thirds of a plane's own extent there, that plane's edge
// facing the other plane is moved onto the other plane's position and its
// edge flag is set. Moves of both planes take effect at once for the rest of
// the scan. grid lists the active type 1, 2 and 3 planes by plane index,
// with boxes (planeGridBox) that hold their current ranges; links holds the
// edge flags of every plane.
void connectPlane(int index, const BoxGrid& grid, std::vector<Plane>& planes,
                  std::vector<EdgeLinks>& links);

// Ends plane connection: pulls every edge of an active plane whose flag in
// links is still 0 back by margin, undoing the widening of widenPlaneEdges
// there. Inactive planes stay as they are.
// Precondition: links holds one record per plane.
void retractUnlinkedEdges(float margin, const std::vector<EdgeLinks>& links,
                          std::vector<Plane>& planes);

}  // namespace roombox
