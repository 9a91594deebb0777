#include "roombox/impulse_response.h"

#include "rir/octave_filters.h"

#include <algorithm>
#include <cmath>

namespace roombox {

namespace {

constexpr double kFloorDb = -200.0;

}  // namespace

std::vector<std::vector<double>> energyDecayCurves(const ImpulseResponse& response) {
  const int frames = int(response.frames());
  std::vector<std::vector<double>> curves(kBandCount);
  if (frames == 0) return curves;
  const int size = filterSize(frames + std::max(1, response.sampleRate / 10));
  const OctaveFilters filters = octaveFilters(size, response.sampleRate);
  std::vector<double> signal(static_cast<std::size_t>(size), 0.0);
  for (int n = 0; n < frames; ++n) signal[n] = response.samples[std::size_t(n) * response.channels];
  const std::vector<double> transform = forwardSpectrum(signal);
  for (int b = 0; b < kBandCount; ++b) {
    std::vector<double> spectrum(static_cast<std::size_t>(size), 0.0);
    addBandOf(transform, filters, b, 1, spectrum);
    const std::vector<double> band = inverseSpectrum(spectrum);
    std::vector<double>& curve = curves[b];
    curve.resize(static_cast<std::size_t>(frames));
    double remaining = 0.0;
    for (int n = frames - 1; n >= 0; --n) {
      remaining += band[n] * band[n];
      curve[n] = remaining;
    }
    const double total = curve[0];
    for (double& value : curve) {
      value = total > 0 && value > 0 ? std::max(kFloorDb, 10 * std::log10(value / total))
                                     : kFloorDb;
    }
    if (!(total > 0)) curve.assign(curve.size(), 0.0);
  }
  return curves;
}

double t30FromDecay(const std::vector<double>& decayDb, int sampleRate) {
  std::size_t begin = 0;
  while (begin < decayDb.size() && decayDb[begin] > -5.0) ++begin;
  std::size_t end = begin;
  while (end < decayDb.size() && decayDb[end] >= -35.0) ++end;
  if (end >= decayDb.size() || end - begin < 2 || sampleRate <= 0) return 0.0;
  // Least-squares line through (time, level).
  double st = 0, sl = 0, stt = 0, stl = 0;
  const double n = double(end - begin);
  for (std::size_t i = begin; i < end; ++i) {
    const double t = double(i) / sampleRate;
    st += t;
    sl += decayDb[i];
    stt += t * t;
    stl += t * decayDb[i];
  }
  const double slope = (n * stl - st * sl) / (n * stt - st * st);
  return slope < 0 ? -60.0 / slope : 0.0;
}

}  // namespace roombox
