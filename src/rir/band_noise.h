#pragma once

#include "rir/octave_filters.h"
#include "rir/random_stream.h"

#include <vector>

namespace roombox {

// Gaussian noise split into the octave bands of filters, `frames` samples
// per band, every band with unit power that stays even over time.
struct BandNoise {
  std::vector<std::vector<double>> bands;
  // The share of each band's power that filtering it into its band once
  // more keeps.
  BandValues keptWhenFiltered{};
};

// Draws white noise and splits it into bands. Each band is filtered into
// the band twice; then, twice over, divided by its envelope (which leaves
// its phase at a constant level) and filtered into the band again; last,
// divided by the root of its running mean power over eight periods of the
// band's centre frequency (at least `evenSamples`). An envelope shaped onto
// it gives a decay whose measured slope hardly depends on the noise drawn:
// the band's level no longer wanders as a plain band noise's does. The
// bands are made on up to `threads` threads, with the same values for any
// number.
BandNoise evenBandNoise(const OctaveFilters& filters, int frames, int sampleRate,
                        int evenSamples, int threads, RandomStream& random);

}  // namespace roombox
