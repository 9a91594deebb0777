#pragma once

#include "planes/plane_connection.h"
#include "roombox/plane.h"

#include <vector>

// Straightforward all-pairs versions of the plane stages, kept as the oracle
// for the indexed ones: same results, bit for bit, on any plane list. They
// take and return what the indexed stages do.

namespace roombox {

// Plane connection, scanning every plane for every plane: widens, joins each
// active plane to every plane in index order, retracts unjoined edges.
// Returns the edge flags of every plane.
std::vector<EdgeLinks> referenceConnectPlanes(float cubeResolution, std::vector<Plane>& planes);
void referenceConnectPlane(int index, std::vector<Plane>& planes, std::vector<EdgeLinks>& links);

// Plane range refinement, scanning every plane for every plane.
void referenceRefinePlaneRanges(std::vector<Plane>& planes);
void referenceRefinePlaneRange(int index, std::vector<Plane>& planes);

}  // namespace roombox
