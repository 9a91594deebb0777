#pragma once

#include "roombox/room_acoustics.h"

#include <array>

namespace roombox {

// The first-order AmbiX gains (ACN order W, Y, Z, X; SN3D) of a plane wave
// arriving from unit direction `from` (scene coordinates): (1, sin az cos el,
// sin el, cos az cos el), the azimuth counted from ambisonicFront() towards
// the viewer's left, the elevation upwards from the horizon.
std::array<double, 4> ambixGains(const Vec3& from);

}  // namespace roombox
