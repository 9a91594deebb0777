#pragma once

#include "cuboids/cuboid_growth.h"

namespace roombox {

// Lets plane q (equation qEquation), a plane after the seed in the plane
// list, reshape the growing box. A side face, whose normal lies on one of
// the seed's in-plane axes, matches when it stands on the seed's edge across
// that axis facing outward, its near end along the growth axis lies exactly
// on the seed, and it overlaps the seed strictly along the other in-plane
// axis: the far bound moves out to q's far end when that is farther, and the
// range along the other axis becomes the seed's own range there joined with
// q's (so the last match decides it). A parallel face, whose normal lies on
// the growth axis, overlapping the seed strictly on both in-plane axes and
// lying strictly between the seed and the far bound, cuts the far bound to
// its position; when it faces the other way than the seed it also widens
// both in-plane ranges to its extent. Any other plane changes nothing.
// Whether a side face matches depends on the seed alone, never on the state
// of the growth.
void matchGrowthCandidate(const Plane& q, const PlaneEquation& qEquation, CuboidGrowth& growth);

}  // namespace roombox
