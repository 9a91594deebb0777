#pragma once

#include "planes/box_grid.h"
#include "planes/edge_links.h"
#include "roombox/plane.h"

#include <vector>

namespace roombox {

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

}  // namespace roombox
