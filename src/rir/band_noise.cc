#include "rir/band_noise.h"

#include "common/parallel.h"

#include <algorithm>
#include <cmath>

namespace roombox {

namespace {

// How often a band is divided by its envelope and filtered again: the
// second pass halves again what unevenness the first leaves.
constexpr int kLevellingPasses = 2;

// Divides the band (with the packed spectrum `spectrum`) by its envelope
// and filters the result into band b: the new spectrum.
std::vector<double> levelled(std::vector<double>& spectrum, const OctaveFilters& filters,
                             int b) {
  std::vector<double> quadrature = quadratureSpectrum(spectrum);
  std::vector<double> band = inverseSpectrum(spectrum);
  const std::vector<double> shifted = inverseSpectrum(quadrature);
  for (std::size_t n = 0; n < band.size(); ++n) {
    const double envelope = std::sqrt(band[n] * band[n] + shifted[n] * shifted[n]);
    band[n] = envelope > 0 ? band[n] / envelope : 0.0;
  }
  std::vector<double> filtered(band.size(), 0.0);
  addBandOf(forwardSpectrum(band), filters, b, 1, filtered);
  return filtered;
}

}  // namespace

BandNoise evenBandNoise(const OctaveFilters& filters, int frames, int sampleRate,
                        int evenSamples, int threads, RandomStream& random) {
  std::vector<double> white(static_cast<std::size_t>(filters.size));
  for (double& v : white) v = random.normal();
  const std::vector<double> transform = forwardSpectrum(white);
  BandNoise noise;
  noise.bands.resize(kBandCount);
  runParallel(threads, kBandCount, [&](int b) {
    std::vector<double> spectrum(white.size(), 0.0);
    addBandOf(transform, filters, b, 2, spectrum);
    for (int pass = 0; pass < kLevellingPasses; ++pass) spectrum = levelled(spectrum, filters, b);
    noise.keptWhenFiltered[b] = bandShare(spectrum, filters, b);
    std::vector<double> band = inverseSpectrum(spectrum);
    band.resize(static_cast<std::size_t>(frames));
    // The running mean power over a centred window, from prefix sums.
    std::vector<double> squares(static_cast<std::size_t>(frames) + 1, 0.0);
    for (int n = 0; n < frames; ++n) squares[n + 1] = squares[n] + band[n] * band[n];
    const int half = std::max(evenSamples, int(8.0 * sampleRate / kBandCentresHz[b])) / 2;
    std::vector<double>& even = noise.bands[b];
    even.resize(band.size());
    for (int n = 0; n < frames; ++n) {
      const int lo = std::max(0, n - half);
      const int hi = std::min(frames, n + half + 1);
      const double power = (squares[hi] - squares[lo]) / (hi - lo);
      even[n] = power > 0 ? band[n] / std::sqrt(power) : 0.0;
    }
  });
  return noise;
}

}  // namespace roombox
