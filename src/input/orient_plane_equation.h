#pragma once

#include "roombox/plane.h"

namespace roombox {

// Turns the normal of a plane at a nonzero position toward the origin: if
// position > 0 and any of a, b, c is > 0, all four coefficients change sign;
// then, if position < 0 and any of a, b, c is < 0, all four change sign. A
// plane at position 0 keeps its equation as read.
void orientPlaneEquation(float position, PlaneEquation& equation);

}  // namespace roombox
