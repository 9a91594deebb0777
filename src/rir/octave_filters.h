#pragma once

#include "roombox/room_acoustics.h"

#include <vector>

namespace roombox {

// Zero-phase octave filters applied in the frequency domain: band b passes
// around kBandCentresHz[b] with raised-cosine (in log frequency) crossovers
// 0.6 octaves wide centred on the band edges (centre x 2^(+-1/2)). The
// lowest band reaches down to 0 Hz and the highest up to the Nyquist
// frequency, and the seven weights sum to 1 at every frequency: a signal
// whose bands are equal comes out unchanged, with no delay.
struct OctaveFilters {
  int size = 0;                      // the transform's length in samples
  std::vector<BandValues> weights;   // per frequency bin 0..size/2
  BandValues powerFraction{};        // the share of white noise's power each band passes
};

// The filters for transforms of `size` samples at sampleRate.
OctaveFilters octaveFilters(int size, int sampleRate);

// A transform length of at least `samples` that the FFT handles quickly.
int filterSize(int samples);

// Accumulates into spectrum (size values, OpenCV's packed real layout) the
// transform of signal (size values) weighted by band b.
void addBandSpectrum(const std::vector<double>& signal, const OctaveFilters& filters, int band,
                     std::vector<double>& spectrum);

// The transform of signal (size values), in OpenCV's packed real layout.
std::vector<double> forwardSpectrum(const std::vector<double>& signal);

// Accumulates into spectrum a transform weighted by band b `times` times
// over: filtered into the band once, or again.
void addBandOf(const std::vector<double>& transform, const OctaveFilters& filters, int band,
               int times, std::vector<double>& spectrum);

// The packed spectrum of the signal's quadrature (its Hilbert transform):
// every frequency a quarter period later, without the constant and the
// Nyquist frequency's parts. With the signal x and its quadrature q,
// sqrt(x^2 + q^2) is x's envelope.
std::vector<double> quadratureSpectrum(const std::vector<double>& spectrum);
// The share of a packed spectrum's power that band b passes.
double bandShare(const std::vector<double>& spectrum, const OctaveFilters& filters, int band);
// The signal (size values) of a packed spectrum.
std::vector<double> inverseSpectrum(std::vector<double>& spectrum);

}  // namespace roombox
