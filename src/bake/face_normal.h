#pragma once

namespace roombox {

// The unit normal of the rectangle with corners c (in winding order): the
// direction of (c1 - c0) x (c2 - c0), seen counter-clockwise from its front.
// A rectangle without area gets (0, 0, 1).
void faceNormal(const double c[4][3], double normal[3]);

}  // namespace roombox
