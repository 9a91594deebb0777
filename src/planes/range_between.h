#pragma once

namespace roombox {

// Sets low and high to the smaller and the larger of a and b, so that the
// closed range low..high holds both; both are NaN when either is NaN. A
// grid box built from such ranges holds every point that a comparison with
// either bound can reach, even for a range whose bounds are the wrong way
// round.
void rangeBetween(float a, float b, float& low, float& high);

}  // namespace roombox
