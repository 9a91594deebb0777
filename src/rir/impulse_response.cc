#include "roombox/impulse_response.h"

#include "rir/ambisonics.h"
#include "rir/band_noise.h"
#include "rir/image_sources.h"
#include "rir/octave_filters.h"
#include "rir/random_stream.h"
#include "rir/ray_tracing.h"
#include "rir/reflecting_boxes.h"
#include "common/cores.h"
#include "common/parallel.h"
#include "common/pi.h"
#include "roombox/error.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace roombox {

namespace {

// Half the length of the fractional-delay filter (a Hann-windowed sinc).
constexpr int kDelayHalfTaps = 16;
// Room left after the response for the zero-phase filters' tails, seconds.
constexpr double kFilterMarginS = 0.1;
// Room kept after the last image source (seconds).
constexpr double kTailS = 0.01;
// The nearest a source may be to the receiver (metres).
constexpr double kMinDistance = 0.01;
// The noise streams of the late part come after any chunk of rays.
constexpr std::uint64_t kNoiseStream = 1ull << 40;

// Adds amplitude x a band-limited impulse at `delay` samples into signal.
void addImpulse(std::vector<double>& signal, double delay, double amplitude) {
  const double whole = std::floor(delay);
  const double fraction = delay - whole;
  const long centre = long(whole);
  if (fraction < 1e-9) {
    if (centre >= 0 && centre < long(signal.size())) signal[centre] += amplitude;
    return;
  }
  for (long n = centre - kDelayHalfTaps + 1; n <= centre + kDelayHalfTaps; ++n) {
    if (n < 0 || n >= long(signal.size())) continue;
    const double x = double(n) - delay;
    const double sinc = std::sin(kPi * x) / (kPi * x);
    const double window = 0.5 + 0.5 * std::cos(kPi * x / kDelayHalfTaps);
    signal[n] += amplitude * sinc * window;
  }
}

// The time by which every band of the rays' energy in the room has fallen by
// 60 dB: the end of the last bin before which all but a millionth of the
// band's energy has passed (the backward integral of the bins, as a decay
// curve is read). Each ray decays at its own rate, and the energy left late
// is that of the rays that keep theirs longest: the mean of the rays' own
// 60 dB times comes too early.
double decayedBy60dB(const EnergyHistogram& histogram) {
  const std::vector<BandValues>& bins = histogram.roomEnergy;
  double latest = 0.0;
  for (int b = 0; b < kBandCount; ++b) {
    double total = 0.0;
    for (const BandValues& bin : bins) total += bin[b];
    double remaining = total;
    std::size_t bin = 0;
    while (bin < bins.size() && remaining > 1e-6 * total) {
      remaining -= bins[bin][b];
      ++bin;
    }
    latest = std::max(latest, double(bin) * histogram.binSeconds);
  }
  return latest;
}

// The late part's energy per bin and band: the room's decay (all the rays'
// energy in the room) scaled to the energy the receiver sphere gathered from
// the transition on, less what the image sources that arrive after the
// transition bring themselves. The receiver sets the level; the whole room
// sets the course over time, which the few rays that reach the sphere late
// would leave to chance.
std::vector<BandValues> lateEnergy(const EnergyHistogram& histogram,
                                   const std::vector<ImageArrival>& arrivals, double c,
                                   double transitionS) {
  std::vector<BandValues> atReceiver = histogram.energy;
  for (const ImageArrival& arrival : arrivals) {
    const double at = arrival.distance / c;
    if (at < transitionS) continue;
    const std::size_t bin = std::size_t(at / histogram.binSeconds);
    if (bin >= atReceiver.size()) continue;
    for (int b = 0; b < kBandCount; ++b) {
      atReceiver[bin][b] =
          std::max(0.0, atReceiver[bin][b] - arrival.amplitude[b] * arrival.amplitude[b]);
    }
  }
  const std::size_t first = std::size_t(transitionS / histogram.binSeconds);
  std::vector<BandValues> late = histogram.roomEnergy;
  for (int b = 0; b < kBandCount; ++b) {
    double receiver = 0.0;
    double room = 0.0;
    for (std::size_t bin = first; bin < atReceiver.size(); ++bin) receiver += atReceiver[bin][b];
    for (std::size_t bin = first; bin < late.size(); ++bin) room += late[bin][b];
    const double scale = room > 0 ? receiver / room : 0.0;
    for (BandValues& bin : late) bin[b] *= scale;
  }
  return late;
}

}  // namespace

void checkImpulseResponseSettings(const RoomAcoustics& room,
                                  const ImpulseResponseSettings& settings) {
  if (!(room.speedOfSound > 0) || !std::isfinite(room.speedOfSound)) {
    throw Error("The room's speed of sound is not a positive number");
  }
  if (settings.sampleRate < kRirMinSampleRate || settings.sampleRate > kRirMaxSampleRate) {
    throw Error("The impulse response's sample rate must lie within 8000 and 192000 Hz");
  }
  if (!(settings.maxLengthS > 0) || !(settings.maxLengthS <= kRirMaxLengthS)) {
    throw Error("The impulse response's length must lie within 0 and 60 seconds");
  }
  if (settings.maxOrder < 0 || settings.maxOrder > kRirMaxOrder) {
    throw Error("The impulse response's reflection order must lie within 0 and 12");
  }
  if (settings.rays < 0 || settings.rays > kRirMaxRays) {
    throw Error("The impulse response's ray count must lie within 0 and 1000000");
  }
  if (!(settings.receiverRadius > 0) || !std::isfinite(settings.receiverRadius)) {
    throw Error("The impulse response's receiver radius must be a positive number");
  }
  checkRirPosition(room, settings.source, "source");
  checkRirPosition(room, settings.receiver, "receiver");
  double d2 = 0.0;
  for (int a = 0; a < 3; ++a) {
    const double d = settings.source[a] - settings.receiver[a];
    d2 += d * d;
  }
  if (!(std::sqrt(d2) >= kMinDistance)) {
    throw Error("The impulse response's source and receiver are less than 1 cm apart");
  }
  for (int b = 0; b < kBandCount; ++b) {
    if (!(room.airAttenuation[b] >= 0) || !std::isfinite(room.airAttenuation[b])) {
      throw Error("The room's air attenuation is not a number of zero or more");
    }
  }
}

ImpulseResponse computeImpulseResponse(const RoomAcoustics& room,
                                       const ImpulseResponseSettings& settings) {
  checkImpulseResponseSettings(room, settings);
  const ReflectingBoxes boxes = gatherReflectingBoxes(room);
  const double c = room.speedOfSound;
  const int rate = settings.sampleRate;
  const bool ambix = settings.format == RirFormat::AmbiX;

  // Early part: every specular path up to the order, until the first path
  // of the next order could arrive.
  const std::vector<ImageArrival> arrivals =
      imageSourceArrivals(room, boxes, settings.source, settings.receiver, settings.maxOrder);
  const double transitionS =
      shortestPathOfOrder(boxes, settings.source, settings.receiver, settings.maxOrder + 1) / c;

  // Late part: the rays' energy per band and time.
  RayTracingSettings rays;
  rays.rays = settings.rays;
  rays.receiverRadius = settings.receiverRadius;
  rays.maxTimeS = settings.maxLengthS;
  rays.seed = settings.seed;
  rays.directions = ambix;
  rays.threads = settings.threads > 0 ? settings.threads : usableCores();
  const EnergyHistogram histogram =
      traceRays(room, boxes, settings.source, settings.receiver, rays);

  // The length: until the slowest band has fallen by 60 dB, and past the
  // direct sound and every image source; at most the cap.
  double wanted = decayedBy60dB(histogram);
  const double directS = std::sqrt(std::pow(settings.source[0] - settings.receiver[0], 2) +
                                   std::pow(settings.source[1] - settings.receiver[1], 2) +
                                   std::pow(settings.source[2] - settings.receiver[2], 2)) / c;
  wanted = std::max(wanted, directS + kTailS);
  if (!arrivals.empty()) wanted = std::max(wanted, arrivals.back().distance / c + kTailS);
  ImpulseResponse response;
  response.sampleRate = rate;
  response.channels = ambix ? 4 : 1;
  response.truncated = histogram.truncated || wanted > settings.maxLengthS;
  response.transitionTimeS = transitionS;
  const double lengthS = std::min(wanted, settings.maxLengthS);
  const int frames = std::max(1, int(std::ceil(lengthS * rate)));
  const int size = filterSize(frames + int(std::ceil(kFilterMarginS * rate)));
  const OctaveFilters filters = octaveFilters(size, rate);

  const std::vector<BandValues> late = lateEnergy(histogram, arrivals, c, transitionS);
  response.imageSources = int(arrivals.size());

  // The early part: each image source, per band and channel, filtered into
  // its band and summed; the late part: even band noise under the bins'
  // envelopes, from the transition on.
  const double samplesPerBin = histogram.binSeconds * rate;
  const int evenSamples = int(std::ceil(samplesPerBin));
  const long transitionSample = long(std::ceil(transitionS * rate));
  std::vector<std::array<double, 4>> gains;
  for (const ImageArrival& arrival : arrivals) gains.push_back(ambixGains(arrival.direction));
  // The late part's amplitude per band and sample: the square root of the
  // bins' energy per sample, interpolated between the bins' centres, faded
  // in over one period of the band's centre frequency from the transition
  // on. A bin's band energy is that of a broadband sound at the band's level
  // (as an image source's band amplitude is), so the band noise gets the
  // share of white noise's power its band holds.
  std::vector<BandValues> envelope(static_cast<std::size_t>(frames), BandValues{});
  for (long n = std::max(0L, transitionSample); n < frames; ++n) {
    const double at = double(n) / samplesPerBin - 0.5;
    const long lower = long(std::floor(at));
    const double w = at - double(lower);
    for (int b = 0; b < kBandCount; ++b) {
      const auto level = [&](long bin) {
        if (bin < 0 || bin >= long(late.size()) || !(late[bin][b] > 0)) return 0.0;
        return std::sqrt(late[bin][b] / samplesPerBin);
      };
      const double fade = double(n - transitionSample) * kBandCentresHz[b] / rate;
      const double fadeIn = fade < 1.0 ? 0.5 - 0.5 * std::cos(kPi * fade) : 1.0;
      envelope[n][b] = ((1 - w) * level(lower) + w * level(lower + 1)) * fadeIn *
                       std::sqrt(filters.powerFraction[b]);
    }
  }
  response.samples.assign(static_cast<std::size_t>(frames) * response.channels, 0.0f);
  // W's noise (the mono response's) first: the other channels take the part
  // of theirs that follows W from it. Then the channels side by side, each
  // into its own samples. W's late part goes in as it is: its noise lies in
  // the band already and its envelope changes slowly, and filtering it again
  // would bring back some of the unevenness its noise was rid of. The other
  // channels' late parts follow the rays' directions bin by bin, and those
  // steps are filtered out of the other bands.
  RandomStream randomW(settings.seed, kNoiseStream);
  const BandNoise bandNoiseW =
      evenBandNoise(filters, frames, rate, evenSamples, rays.threads, randomW);
  const std::vector<std::vector<double>>& noiseW = bandNoiseW.bands;
  runParallel(rays.threads, response.channels, [&](int channel) {
    BandNoise bandNoise;
    if (channel > 0) {
      RandomStream random(settings.seed, kNoiseStream + std::uint64_t(channel));
      bandNoise = evenBandNoise(filters, frames, rate, evenSamples, 1, random);
    }
    const std::vector<std::vector<double>>& noise = bandNoise.bands;
    std::vector<double> signal(static_cast<std::size_t>(size));
    std::vector<double> spectrum(static_cast<std::size_t>(size), 0.0);
    std::vector<double> lateW(channel == 0 ? std::size_t(frames) : 0, 0.0);
    for (int b = 0; b < kBandCount; ++b) {
      // Filtering again takes a little of a band noise's power off.
      const double kept = 0.5 * (bandNoiseW.keptWhenFiltered[b] + bandNoise.keptWhenFiltered[b]);
      const double again = kept > 0 ? 1.0 / std::sqrt(kept) : 0.0;
      std::fill(signal.begin(), signal.end(), 0.0);
      for (std::size_t i = 0; i < arrivals.size(); ++i) {
        addImpulse(signal, arrivals[i].distance / c * rate,
                   arrivals[i].amplitude[b] * gains[i][channel]);
      }
      for (long n = std::max(0L, transitionSample); n < frames; ++n) {
        const double level = envelope[n][b];
        if (!(level > 0)) continue;
        double shape = noiseW[b][n];
        if (channel > 0) {
          // The directions of the rays that reached the receiver in the
          // bin; where none did, a diffuse field's (a mean square gain of
          // a third).
          const std::size_t bin = std::size_t(double(n) / samplesPerBin);
          const double energy = bin < histogram.energy.size() ? histogram.energy[bin][b] : 0.0;
          double g = 0.0;
          double p = 1.0 / 3.0;
          if (energy > 0) {
            g = histogram.gainSum[bin][channel - 1][b] / energy;
            p = histogram.gainSquareSum[bin][channel - 1][b] / energy;
          }
          shape = g * noiseW[b][n] + std::sqrt(std::max(0.0, p - g * g)) * noise[b][n];
        }
        if (channel == 0) {
          lateW[n] += level * shape;
        } else {
          signal[n] += level * again * shape;
        }
      }
      addBandSpectrum(signal, filters, b, spectrum);
    }
    std::vector<double> out = inverseSpectrum(spectrum);
    for (std::size_t n = 0; n < lateW.size(); ++n) out[n] += lateW[n];
    for (int n = 0; n < frames; ++n) {
      const float sample = float(out[n]);
      // Coordinates beyond any room's can overflow on the way.
      if (!std::isfinite(sample)) {
        throw Error("The impulse response cannot be computed: the room's sizes are out of range");
      }
      response.samples[std::size_t(n) * response.channels + channel] = sample;
    }
  });
  return response;
}

}  // namespace roombox
