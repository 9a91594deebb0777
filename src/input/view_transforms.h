#pragma once

#include "roombox/plane.h"
#include "roombox/view_config.h"

#include <string>

namespace roombox {

// Reads the affine transform file of an extra view at path: three rows of
// four numbers, the 3 x 4 matrix of the view. Only the first twelve numbers
// are read. Throws Error for a file that cannot be opened ("The file %s was
// not opened") or whose first twelve tokens are not all finite numbers
// ("The file %s is malformed: <detail>").
ViewTransform readAffineFile(const std::string& path);

// Moves the planes of extra view `view` (0..3) in list, planes
// viewFirstPlane[view] onward, viewPlaneCounts[view] of them, into the main
// frame and snaps them to the grid of list.cubeResolution. Uses the
// translation (column 4) of transform; the 3 x 3 part is not applied. A view
// outside 0..3 changes nothing, and indexes past the end of the plane list
// are skipped.
//
// Each plane moves along its normal axis: types 1, 4, 7 (normal x) by tx,
// types 2, 5, 9 (normal y) by ty, types 3, 6, 8 (normal z) by tz; its u and v
// ranges by the translation on its in-plane axes, and d so that the equation
// stays true (d -= t when the normal component is > 0, d += t otherwise).
// Every centre moves by (tx, ty, tz). Then position, the four range bounds,
// the centre and d are snapped: floor(value / cubeResolution + 0.5) grid steps.
// Where that is not a finite number (a cubeResolution of 0 or infinite, or a
// value beyond the float range) the value keeps its moved value unsnapped.
void transformViewPlanes(int view, const ViewTransform& transform, PlaneList& list);

}  // namespace roombox
