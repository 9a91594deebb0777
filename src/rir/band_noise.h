#pragma once

#include "rir/octave_filters.h"
#include "rir/random_stream.h"

#include <vector>

namespace roombox {

// Gaussian noise split into the octave bands of filters (frames samples
// each), every band with unit power that stays even over time: each band's
// power is divided by its own running mean over four periods of the band's
// centre frequency (at least `evenSamples`). Envelopes shaped onto it give
// decays whose measured slope hardly depends on the noise drawn.
std::vector<std::vector<double>> evenBandNoise(const OctaveFilters& filters, int frames,
                                               int sampleRate, int evenSamples,
                                               RandomStream& random);

}  // namespace roombox
