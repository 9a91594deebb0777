#pragma once

#include "rir/reflecting_boxes.h"
#include "roombox/impulse_response.h"

#include <cstdint>
#include <vector>

namespace roombox {

// What the rays are traced with.
struct RayTracingSettings {
  int rays = ImpulseResponseSettings{}.rays;
  double receiverRadius = ImpulseResponseSettings{}.receiverRadius;  // metres
  double maxTimeS = ImpulseResponseSettings{}.maxLengthS;            // rays stop here
  std::uint64_t seed = 0;
  bool directions = false;  // also gather the arrival directions (AmbiX)
  int threads = 1;
};

// The energy that reaches the receiver sphere, per band and per time bin, in
// the units of the image sources' squared amplitudes: the direct sound of a
// source at distance r would bring (1 / (4 pi r))^2.
struct EnergyHistogram {
  double binSeconds = 0.001;
  std::vector<BandValues> energy;  // per bin
  // Per bin, the rays' energy anywhere in the room: each ray's energy x the
  // length of its path within the bin. Its course over time is the room's
  // decay, gathered from every ray all the time; a ray that happens to pass
  // the receiver sphere again and again cannot tilt it.
  std::vector<BandValues> roomEnergy;
  // With directions: per bin, per band, the energy-weighted sums of the
  // arrival directions' Y, Z and X gains and of their squares.
  std::vector<std::array<BandValues, 3>> gainSum;
  std::vector<std::array<BandValues, 3>> gainSquareSum;
  bool truncated = false;  // some ray stopped before every band had fallen by 60 dB
};

// The most reflections one ray follows (a bound on the work a room whose
// surfaces absorb nothing can ask for).
constexpr int kMaxReflectionsPerRay = 4000;

// Traces settings.rays rays from source (the same starting directions for
// every seed: a spherical Fibonacci lattice) with the room's per-band
// absorption, scattering and air attenuation: at every hit a ray scatters
// (a cosine-weighted direction about the normal) with the probability of the
// surface's mean scattering over the bands, else it reflects specularly. A
// ray's crossing of the receiver sphere after its first reflection adds its
// energy x chord length / sphere volume at the time of the chord's middle.
// Rays go in fixed chunks, each with its own random stream, summed in chunk
// order: the result is the same for any number of threads.
EnergyHistogram traceRays(const RoomAcoustics& room, const ReflectingBoxes& boxes,
                          const Vec3& source, const Vec3& receiver,
                          const RayTracingSettings& settings);

}  // namespace roombox
