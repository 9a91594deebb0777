#include "rir/band_noise.h"

#include <algorithm>
#include <cmath>

namespace roombox {

std::vector<std::vector<double>> evenBandNoise(const OctaveFilters& filters, int frames,
                                               int sampleRate, int evenSamples,
                                               RandomStream& random) {
  std::vector<double> white(static_cast<std::size_t>(filters.size));
  for (double& v : white) v = random.normal();
  const std::vector<double> transform = forwardSpectrum(white);
  std::vector<std::vector<double>> bands(kBandCount);
  std::vector<double> spectrum;
  std::vector<double> squares(static_cast<std::size_t>(frames) + 1);
  for (int b = 0; b < kBandCount; ++b) {
    spectrum.assign(white.size(), 0.0);
    addBandOf(transform, filters, b, 2, spectrum);
    std::vector<double> band = inverseSpectrum(spectrum);
    band.resize(static_cast<std::size_t>(frames));
    // The running mean power over a centred window, from prefix sums.
    squares[0] = 0.0;
    for (int n = 0; n < frames; ++n) squares[n + 1] = squares[n] + band[n] * band[n];
    const int half = std::max(evenSamples, int(4.0 * sampleRate / kBandCentresHz[b])) / 2;
    std::vector<double>& even = bands[b];
    even.resize(band.size());
    for (int n = 0; n < frames; ++n) {
      const int lo = std::max(0, n - half);
      const int hi = std::min(frames, n + half + 1);
      const double power = (squares[hi] - squares[lo]) / (hi - lo);
      even[n] = power > 0 ? band[n] / std::sqrt(power) : 0.0;
    }
  }
  return bands;
}

}  // namespace roombox
