#include "roombox/impulse_response.h"

#include "rir/band_noise.h"
#include "rir/ray_tracing.h"
#include "rir/reflecting_boxes.h"
#include "rir/shoebox_rooms.h"
#include "support/expect_error.h"
#include "support/run_binary.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace roombox {
namespace {

constexpr double kPiD = 3.141592653589793;

// The amplitude of an impulse placed near fractional sample `at` of channel
// `channel`: the samples' sum over the delay filter's length.
double amplitudeAt(const ImpulseResponse& response, int channel, double at) {
  double sum = 0.0;
  for (long n = long(at) - 20; n <= long(at) + 21; ++n) {
    if (n >= 0 && n < long(response.frames())) sum += response.samples[std::size_t(n) * response.channels + channel];
  }
  return sum;
}

double distance(const Vec3& a, const Vec3& b) {
  return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
                   (a[2] - b[2]) * (a[2] - b[2]));
}

// The path lengths from the images of source in the shoebox [0, size] to
// receiver, with their reflection orders (up to maxOrder): along each axis
// the images lie at 2 n L + x (|2n| reflections) and 2 n L - x (|2n - 1|).
std::vector<std::pair<double, int>> shoeboxPaths(const Vec3& size, const Vec3& source,
                                                 const Vec3& receiver, int maxOrder) {
  std::vector<std::pair<double, int>> paths;
  std::array<std::vector<std::pair<double, int>>, 3> images;
  for (int a = 0; a < 3; ++a) {
    for (int n = -maxOrder; n <= maxOrder; ++n) {
      images[a].push_back({2 * n * size[a] + source[a], std::abs(2 * n)});
      images[a].push_back({2 * n * size[a] - source[a], std::abs(2 * n - 1)});
    }
  }
  for (const auto& x : images[0]) {
    for (const auto& y : images[1]) {
      for (const auto& z : images[2]) {
        const int order = x.second + y.second + z.second;
        if (order > maxOrder) continue;
        paths.push_back({distance({x.first, y.first, z.first}, receiver), order});
      }
    }
  }
  return paths;
}

ImpulseResponseSettings settingsFor(const Vec3& source, const Vec3& receiver) {
  ImpulseResponseSettings settings;
  settings.source = source;
  settings.receiver = receiver;
  settings.threads = 2;
  return settings;
}

TEST(ImpulseResponseTest, DirectSoundAndFirstOrderReflectionsAtTheirDistances) {
  // Nothing absorbs: every specular path keeps 1 / (4 pi d). At 320 m/s and
  // 48 kHz the 2 m direct path lands on sample 300 exactly. No rays: the
  // image sources alone.
  const RoomAcoustics room = shoebox({5.0, 4.3, 3.7}, uniformBands(0.0), uniformBands(0.0), {}, 320.0);
  const Vec3 receiver{0.4, 0.5, 2.4};
  const Vec3 source{1.6, 2.1, 2.4};  // 2 m away
  ImpulseResponseSettings settings = settingsFor(source, receiver);
  settings.maxOrder = 1;
  settings.rays = 0;
  settings.maxLengthS = 0.2;
  const ImpulseResponse response = computeImpulseResponse(room, settings);
  ASSERT_EQ(response.channels, 1);
  ASSERT_EQ(response.sampleRate, 48000);
  const double direct = 1.0 / (4 * kPiD * 2.0);
  EXPECT_NEAR(response.samples[300], direct, 1e-6);
  for (int n = 0; n < 300; ++n) ASSERT_LT(std::fabs(response.samples[n]), 1e-6 * direct) << n;

  // The late part takes over where the first second-order path arrives.
  double shortest = HUGE_VAL;
  for (const auto& path : shoeboxPaths({5.0, 4.3, 3.7}, source, receiver, 2)) {
    if (path.second == 2) shortest = std::min(shortest, path.first);
  }
  EXPECT_NEAR(response.transitionTimeS, shortest / 320.0, 1e-9);

  // The six images of the source in the room's faces, each arriving at its
  // distance, none twice and none missing.
  EXPECT_EQ(response.imageSources, 7);
  for (int axis = 0; axis < 3; ++axis) {
    for (double plane : {room.roomMin[axis], room.roomMax[axis]}) {
      Vec3 image = source;
      image[axis] = 2 * plane - source[axis];
      const double path = distance(image, receiver);
      const double amplitude = 1.0 / (4 * kPiD * path);
      EXPECT_NEAR(amplitudeAt(response, 0, path / 320.0 * 48000), amplitude, 0.005 * amplitude)
          << path;
    }
  }

  // Air that takes 5 % of the energy per metre leaves exp(-0.05 d / 2) of
  // a path's amplitude, in every band alike here.
  const RoomAcoustics airy =
      shoebox({5.0, 4.3, 3.7}, uniformBands(0.0), uniformBands(0.0), uniformBands(0.05), 320.0);
  EXPECT_NEAR(computeImpulseResponse(airy, settings).samples[300], direct * std::exp(-0.05),
              1e-6);
}

TEST(ImpulseResponseTest, SpecularRaysArriveOnlyWhereImageSourcesDo) {
  // Surfaces that scatter nothing: the rays reflect like mirrors. In a large
  // room with source and receiver near its centre, the first-order paths
  // come near 20 m and the second-order ones from 28 m on; a ray reaches the
  // receiver sphere only within its radius of one of them.
  const Vec3 size{20.0, 20.0, 20.0};
  const Vec3 source{9.5, 10.0, 10.0};
  const Vec3 receiver{10.5, 10.2, 10.0};
  const RoomAcoustics room = shoebox(size, uniformBands(0.1), uniformBands(0.0));
  RayTracingSettings rays;
  rays.rays = 4000;
  rays.threads = 2;
  const EnergyHistogram histogram =
      traceRays(room, gatherReflectingBoxes(room), source, receiver, rays);
  double firstOrder = 0.0;
  double secondOrder = HUGE_VAL;
  for (const auto& path : shoeboxPaths(size, source, receiver, 2)) {
    if (path.second == 1) firstOrder = std::max(firstOrder, path.first);
    if (path.second == 2) secondOrder = std::min(secondOrder, path.first);
  }
  double arrived = 0.0;
  for (std::size_t bin = 0; bin < histogram.energy.size(); ++bin) {
    const double start = bin * histogram.binSeconds * 343.0;
    const double end = (bin + 1) * histogram.binSeconds * 343.0;
    if (end < firstOrder + rays.receiverRadius) arrived += histogram.energy[bin][3];
    if (start > firstOrder + rays.receiverRadius && end < secondOrder - rays.receiverRadius) {
      EXPECT_EQ(histogram.energy[bin][3], 0.0) << "energy between the orders, at " << start << " m";
    }
  }
  EXPECT_GT(arrived, 0.0);
}

// The rays of a 5 x 4 x 3 m room whose walls absorb nothing, with the air's
// attenuation air: every ray keeps 1 / (4 pi rays) of energy but for the
// air's share and travels c x binSeconds in every bin, however it reflects.
EnergyHistogram raysWithoutWallLosses(const BandValues& air, int count, double maxTimeS) {
  const RoomAcoustics room = shoebox({5.0, 4.0, 3.0}, uniformBands(0.0), uniformBands(0.5), air);
  RayTracingSettings rays;
  rays.rays = count;
  rays.maxTimeS = maxTimeS;
  rays.threads = 2;
  return traceRays(room, gatherReflectingBoxes(room), {1.2, 1.1, 0.9}, {3.0, 2.5, 1.5}, rays);
}

// What such a room's bin holds of a band whose air attenuation is m.
double binWithoutWallLosses(const EnergyHistogram& histogram, std::size_t bin, double m) {
  const double binLength = histogram.binSeconds * 343.0;
  return binLength / (4 * kPiD) * std::exp(-m * (double(bin) + 0.5) * binLength);
}

TEST(ImpulseResponseTest, TheRoomsEnergyIsEveryRaysPathPerBinAtTheAirsAttenuation) {
  // The room's bins hold exactly the energy x path of every ray, at each
  // bin's middle.
  const BandValues air{0.0, 0.001, 0.002, 0.004, 0.008, 0.016, 0.032};
  const EnergyHistogram histogram = raysWithoutWallLosses(air, 300, 0.1);
  EXPECT_TRUE(histogram.truncated);
  ASSERT_GE(histogram.roomEnergy.size(), 100u);
  for (std::size_t bin = 0; bin < 100; ++bin) {
    for (int b = 0; b < kBandCount; ++b) {
      const double expected = binWithoutWallLosses(histogram, bin, air[b]);
      ASSERT_NEAR(histogram.roomEnergy[bin][b], expected, 1e-9 * expected) << bin << ", " << b;
    }
  }
}

TEST(ImpulseResponseTest, FaintRaysThatGoOnCarryTheEnergyOfThoseThatEnd) {
  // Walls that absorb nothing and air that takes 60 dB in 0.9 s: below
  // -45 dB a ray ends or goes on at twice its energy. The room's bins keep
  // the expected energy, and the rays have decayed by 66 dB at the cap,
  // whatever energy the ones left carry.
  const double air = std::log(1e6) / (0.9 * 343.0);
  const EnergyHistogram histogram = raysWithoutWallLosses(uniformBands(air), 4000, 1.0);
  EXPECT_FALSE(histogram.truncated);
  // From 0.72 s (-48 dB) to 0.95 s (-63 dB): a half to a sixty-fourth of
  // the rays are left.
  double gathered = 0.0;
  double expected = 0.0;
  for (std::size_t bin = 720; bin < 950 && bin < histogram.roomEnergy.size(); ++bin) {
    gathered += histogram.roomEnergy[bin][3];
    expected += binWithoutWallLosses(histogram, bin, air);
  }
  EXPECT_NEAR(gathered, expected, 0.2 * expected);
}

TEST(ImpulseResponseTest, TheLateNoiseKeepsItsLevelOverEveryTwoPeriods) {
  // Plain band noise's power over two periods of its band strays by half
  // its mean from window to window. The late part's noise is levelled to
  // its envelope: it strays by a sixth. And the share that filtering it
  // again keeps is what filtering it again keeps.
  const int rate = 48000;
  const int frames = 48000;
  const OctaveFilters filters = octaveFilters(filterSize(frames + 4800), rate);
  RandomStream random(1, 7);
  const BandNoise noise = evenBandNoise(filters, frames, rate, 48, 2, random);
  for (int b = 0; b < kBandCount; ++b) {
    const std::vector<double>& band = noise.bands[b];
    ASSERT_EQ(band.size(), std::size_t(frames));
    const int window = int(2 * rate / kBandCentresHz[b]);
    double sum = 0.0;
    double squares = 0.0;
    int windows = 0;
    for (int start = 0; start + window <= frames; start += window, ++windows) {
      double power = 0.0;
      for (int n = start; n < start + window; ++n) power += band[n] * band[n] / window;
      sum += power;
      squares += power * power;
    }
    const double mean = sum / windows;
    EXPECT_NEAR(mean, 1.0, 0.01) << kBandCentresHz[b] << " Hz";
    EXPECT_LT(std::sqrt(squares / windows - mean * mean), 0.22) << kBandCentresHz[b] << " Hz";
    std::vector<double> signal(std::size_t(filters.size), 0.0);
    std::copy(band.begin(), band.end(), signal.begin());
    std::vector<double> spectrum(signal.size(), 0.0);
    addBandSpectrum(signal, filters, b, spectrum);
    const std::vector<double> again = inverseSpectrum(spectrum);
    double before = 0.0;
    double after = 0.0;
    for (int n = 0; n < frames; ++n) {
      before += band[n] * band[n];
      after += again[n] * again[n];
    }
    EXPECT_NEAR(noise.keptWhenFiltered[b], after / before, 0.01) << kBandCentresHz[b] << " Hz";
  }
}

TEST(ImpulseResponseTest, SpecularPathsAfterTheTransitionCountOnce) {
  // Mirror-like surfaces that absorb 90 %: after the transition nearly all
  // the energy is that of third-order paths that arrive late. The image
  // sources bring them; the rays see them too, and the late part must
  // leave them out, or they count twice.
  const Vec3 size{6.0, 4.0, 3.0};
  const Vec3 source{1.6, 1.3, 1.4};
  const Vec3 receiver{4.1, 2.6, 1.7};
  const RoomAcoustics room = shoebox(size, uniformBands(0.9), uniformBands(0.0));
  const ImpulseResponse response = computeImpulseResponse(room, settingsFor(source, receiver));
  double expected = 0.0;
  for (const auto& path : shoeboxPaths(size, source, receiver, 3)) {
    if (path.first / 343.0 < response.transitionTimeS) continue;
    const double amplitude = std::pow(0.1, path.second / 2.0) / (4 * kPiD * path.first);
    expected += amplitude * amplitude;
  }
  double energy = 0.0;
  for (std::size_t n = std::size_t(response.transitionTimeS * 48000); n < response.frames(); ++n) {
    energy += double(response.samples[n]) * response.samples[n];
  }
  EXPECT_GT(energy, 0.8 * expected);
  EXPECT_LT(energy, 1.5 * expected);
}

TEST(ImpulseResponseTest, FractionalDelayAndAbsorptionPerReflection) {
  // A delay between samples keeps its amplitude and its time; a floor that
  // absorbs 0.75 leaves half the amplitude of its reflection.
  RoomAcoustics room = shoebox({6.0, 5.0, 4.0}, uniformBands(0.0), uniformBands(0.0));
  room.surfaces[4].absorption = uniformBands(0.75);  // the floor, z = 0
  const Vec3 receiver{2.0, 2.5, 1.0};
  const Vec3 source{3.37, 2.5, 1.4};
  ImpulseResponseSettings settings = settingsFor(source, receiver);
  settings.maxOrder = 1;
  settings.rays = 0;
  settings.maxLengthS = 0.1;
  const ImpulseResponse response = computeImpulseResponse(room, settings);
  const double direct = distance(source, receiver);
  const double at = direct / 343.0 * 48000;
  ASSERT_GT(at - std::floor(at), 0.1);
  EXPECT_NEAR(amplitudeAt(response, 0, at), 1.0 / (4 * kPiD * direct), 0.01 / (4 * kPiD * direct));
  // The impulse's centre in time sits on the arrival.
  double weighted = 0.0;
  double total = 0.0;
  for (long n = long(at) - 20; n <= long(at) + 21; ++n) {
    weighted += double(response.samples[n]) * n;
    total += response.samples[n];
  }
  EXPECT_NEAR(weighted / total, at, 0.01);
  const double floorPath = distance({source[0], source[1], -source[2]}, receiver);
  EXPECT_NEAR(amplitudeAt(response, 0, floorPath / 343.0 * 48000), 0.5 / (4 * kPiD * floorPath),
              0.02 / (4 * kPiD * floorPath));
}

TEST(ImpulseResponseTest, AnObjectBoxBlocksThePathsThroughIt) {
  const Vec3 source{1.0, 2.0, 1.5};
  const Vec3 receiver{5.0, 2.0, 1.5};
  RoomAcoustics room = shoebox({6.0, 4.0, 3.0}, uniformBands(0.0), uniformBands(0.0));
  ImpulseResponseSettings settings = settingsFor(source, receiver);
  settings.maxOrder = 1;
  settings.rays = 0;
  settings.maxLengthS = 0.1;
  const double direct = 4.0 / 343.0 * 48000;
  const double ceiling = std::sqrt(16.0 + 9.0) / 343.0 * 48000;  // over the box
  const double floor = ceiling;  // the same length below: through the box
  const double amplitude = 1.0 / (4 * kPiD * 5.0);
  const ImpulseResponse open = computeImpulseResponse(room, settings);
  EXPECT_NEAR(amplitudeAt(open, 0, direct), 1.0 / (4 * kPiD * 4.0), 0.01);
  EXPECT_NEAR(amplitudeAt(open, 0, ceiling), 2 * amplitude, 0.04 * amplitude);  // both arrive at once

  addObject(room, {2.5, 1.5, 0.0}, {3.5, 2.5, 2.5}, uniformBands(0.0), uniformBands(0.0));
  const ImpulseResponse blocked = computeImpulseResponse(room, settings);
  EXPECT_NEAR(amplitudeAt(blocked, 0, direct), 0.0, 1e-4);
  EXPECT_NEAR(amplitudeAt(blocked, 0, floor), amplitude, 0.04 * amplitude);  // the ceiling's alone
}

TEST(ImpulseResponseTest, ReverberationTimeMatchesEyringInADiffuseShoebox) {
  // Absorption rising with frequency, moderate scattering, air per band.
  const BandValues absorption{0.08, 0.12, 0.16, 0.2, 0.24, 0.28, 0.32};
  const BandValues air{0.0001, 0.0003, 0.0006, 0.001, 0.0019, 0.0052, 0.018};
  const Vec3 size{6.0, 4.0, 3.0};
  const RoomAcoustics room = shoebox(size, absorption, uniformBands(0.4), air);
  ImpulseResponseSettings settings = settingsFor({1.6, 1.3, 1.4}, {4.1, 2.6, 1.7});
  const ImpulseResponse response = computeImpulseResponse(room, settings);
  EXPECT_FALSE(response.truncated);
  const std::vector<std::vector<double>> curves = energyDecayCurves(response);
  const double volume = size[0] * size[1] * size[2];
  const double area = 2 * (size[0] * size[1] + size[1] * size[2] + size[0] * size[2]);
  for (int b = 1; b <= 5; ++b) {
    const double eyring =
        55.3 * volume / (343.0 * (-area * std::log(1 - absorption[b]) + 4 * air[b] * volume));
    const double t30 = t30FromDecay(curves[b], response.sampleRate);
    EXPECT_NEAR(t30, eyring, 0.1 * eyring) << kBandCentresHz[b] << " Hz";
  }
  // The response lasts until the slowest band has fallen by 60 dB.
  const double slowest = 55.3 * volume / (343.0 * (-area * std::log(1 - absorption[0]) + 4 * air[0] * volume));
  EXPECT_NEAR(response.lengthS(), slowest, 0.15 * slowest);
}

TEST(ImpulseResponseTest, TheResponseRunsUntilTheSlowestRaysHaveDecayed) {
  // Absorbing walls, a hard floor and ceiling, little scattering: the rays
  // that go up and down keep their energy long after the others lost
  // theirs, and the room's decay is theirs. The response lasts until that
  // energy, not the typical ray's, has fallen by 60 dB: its decay curves
  // reach -35 dB well before the end and give the slope of what is there.
  RoomAcoustics room = shoebox({6.0, 5.0, 3.0}, uniformBands(0.5), uniformBands(0.05));
  room.surfaces[4].absorption = uniformBands(0.02);  // the floor
  room.surfaces[5].absorption = uniformBands(0.02);  // the ceiling
  ImpulseResponseSettings settings = settingsFor({1.6, 1.3, 1.4}, {4.1, 2.6, 1.7});
  const ImpulseResponse response = computeImpulseResponse(room, settings);
  const std::vector<std::vector<double>> curves = energyDecayCurves(response);
  for (int b = 0; b < kBandCount; ++b) {
    const double t30 = t30FromDecay(curves[b], response.sampleRate);
    EXPECT_GT(response.lengthS(), 0.9 * t30) << kBandCentresHz[b] << " Hz";
  }
}

TEST(ImpulseResponseTest, LateEnergyMatchesTheDiffuseField) {
  // A diffuse field from a source whose direct sound is 1 / (4 pi r) brings
  // the receiver c / (4 pi V) exp(-t / tau) energy per second, tau the
  // energy's time constant (Eyring): the late part's level, not its slope.
  const double alpha = 0.2;
  const Vec3 size{6.0, 4.0, 3.0};
  const RoomAcoustics room = shoebox(size, uniformBands(alpha), uniformBands(0.5));
  ImpulseResponseSettings settings = settingsFor({1.6, 1.3, 1.4}, {4.1, 2.6, 1.7});
  const ImpulseResponse response = computeImpulseResponse(room, settings);
  const double volume = size[0] * size[1] * size[2];
  const double area = 2 * (size[0] * size[1] + size[1] * size[2] + size[0] * size[2]);
  const double tau = 4 * volume / (343.0 * area * -std::log(1 - alpha));
  const double from = 0.1;
  const double expected = 343.0 / (4 * kPiD * volume) * tau * std::exp(-from / tau);
  double energy = 0.0;
  for (std::size_t n = std::size_t(from * 48000); n < response.frames(); ++n) {
    energy += double(response.samples[n]) * response.samples[n];
  }
  EXPECT_NEAR(energy, expected, 0.15 * expected);
}

TEST(ImpulseResponseTest, AmbixEncodesAnImageSourceFromItsDirection) {
  const RoomAcoustics room = shoebox({6.0, 5.0, 4.0}, uniformBands(0.3), uniformBands(0.2));
  const Vec3 receiver{3.0, 2.5, 1.5};
  const Vec3 front = ambisonicFront();
  const Vec3 up{0.0, 0.0, 1.0};
  const Vec3 left{up[1] * front[2] - up[2] * front[1], up[2] * front[0] - up[0] * front[2],
                  up[0] * front[1] - up[1] * front[0]};
  // The front is the panorama's centre column: scene -x, its left -y.
  EXPECT_NEAR(front[0], -1.0, 1e-12);
  EXPECT_NEAR(left[1], -1.0, 1e-12);
  const double azimuth = 0.6;
  const double elevation = 0.35;
  Vec3 source;
  for (int a = 0; a < 3; ++a) {
    source[a] = receiver[a] + 1.3 * (std::cos(elevation) * std::cos(azimuth) * front[a] +
                                     std::cos(elevation) * std::sin(azimuth) * left[a] +
                                     std::sin(elevation) * up[a]);
  }
  ImpulseResponseSettings settings = settingsFor(source, receiver);
  settings.format = RirFormat::AmbiX;
  settings.rays = 200;  // few: late bins that no ray reaches the receiver in
  const ImpulseResponse ambix = computeImpulseResponse(room, settings);
  ASSERT_EQ(ambix.channels, 4);
  const double at = 1.3 / 343.0 * 48000;
  const double w = amplitudeAt(ambix, 0, at);
  EXPECT_NEAR(w, 1.0 / (4 * kPiD * 1.3), 1e-3 * w);
  EXPECT_NEAR(amplitudeAt(ambix, 1, at) / w, std::sin(azimuth) * std::cos(elevation), 1e-3);
  EXPECT_NEAR(amplitudeAt(ambix, 2, at) / w, std::sin(elevation), 1e-3);
  EXPECT_NEAR(amplitudeAt(ambix, 3, at) / w, std::cos(azimuth) * std::cos(elevation), 1e-3);

  // W is the mono response, sample for sample, late part included.
  settings.format = RirFormat::Mono;
  const ImpulseResponse mono = computeImpulseResponse(room, settings);
  ASSERT_EQ(mono.frames(), ambix.frames());
  std::size_t differing = 0;
  for (std::size_t n = 0; n < mono.frames(); ++n) differing += mono.samples[n] != ambix.samples[4 * n];
  EXPECT_EQ(differing, 0u);
  // The late part is not a copy of W in the other channels: a diffuse field
  // gives each first-order channel about a third of W's energy, in the bins
  // no ray reached the receiver in as well.
  double lateW = 0.0;
  double lateOthers = 0.0;
  for (std::size_t n = ambix.frames() / 4; n < ambix.frames(); ++n) {
    lateW += double(ambix.samples[4 * n]) * ambix.samples[4 * n];
    for (int c = 1; c < 4; ++c) lateOthers += double(ambix.samples[4 * n + c]) * ambix.samples[4 * n + c];
  }
  EXPECT_NEAR(lateOthers / lateW, 1.0, 0.25);
}

TEST(ImpulseResponseTest, TheSameBytesForAnyThreadCountAndOtherBytesForAnotherSeed) {
  RoomAcoustics room = shoebox({5.0, 4.0, 3.0}, uniformBands(0.25), uniformBands(0.5),
                               uniformBands(0.001));
  addObject(room, {0.5, 0.5, 0.0}, {1.5, 2.5, 0.6}, uniformBands(0.5), uniformBands(0.7));
  ImpulseResponseSettings settings = settingsFor({3.5, 2.0, 1.2}, {2.0, 3.0, 1.5});
  settings.format = RirFormat::AmbiX;
  settings.rays = 1700;  // chunks that do not share out evenly
  settings.threads = 1;
  const ImpulseResponse one = computeImpulseResponse(room, settings);
  settings.threads = 2;
  const ImpulseResponse two = computeImpulseResponse(room, settings);
  settings.threads = 3;
  const ImpulseResponse three = computeImpulseResponse(room, settings);
  EXPECT_TRUE(one.samples == two.samples);
  EXPECT_TRUE(one.samples == three.samples);
  settings.seed = 7;
  const ImpulseResponse other = computeImpulseResponse(room, settings);
  EXPECT_FALSE(other.samples == two.samples);
}

TEST(ImpulseResponseTest, RefusesBadPositionsAndSettings) {
  RoomAcoustics room = shoebox({5.0, 4.0, 3.0}, uniformBands(0.2), uniformBands(0.2));
  addObject(room, {1.0, 1.0, 0.0}, {2.0, 2.0, 1.0}, uniformBands(0.2), uniformBands(0.2));
  const Vec3 good{3.0, 3.0, 1.5};
  EXPECT_ROOMBOX_ERROR(checkRirPosition(room, {NAN, 1.0, 1.0}, "source"),
                       "^The impulse response's source is not three finite numbers$");
  EXPECT_ROOMBOX_ERROR(checkRirPosition(room, {6.0, 1.0, 1.0}, "receiver"),
                       "^The impulse response's receiver 6,1,1 lies outside the room box$");
  EXPECT_ROOMBOX_ERROR(checkRirPosition(room, {5.0, 1.0, 1.0}, "source"), "outside the room box");
  EXPECT_ROOMBOX_ERROR(checkRirPosition(room, {1.5, 1.5, 0.5}, "source"),
                       "^The impulse response's source 1.5,1.5,0.5 lies inside the object box Box_1$");
  checkRirPosition(room, good, "source");
  ImpulseResponseSettings settings = settingsFor(good, {1.5, 1.5, 1.5});
  settings.rays = 100;
  computeImpulseResponse(room, settings);
  ImpulseResponseSettings bad = settings;
  bad.receiver = good;
  EXPECT_ROOMBOX_ERROR(computeImpulseResponse(room, bad), "less than 1 cm apart");
  bad = settings;
  bad.sampleRate = 1000;
  EXPECT_ROOMBOX_ERROR(computeImpulseResponse(room, bad), "sample rate");
  bad = settings;
  bad.maxLengthS = NAN;
  EXPECT_ROOMBOX_ERROR(computeImpulseResponse(room, bad), "length");
}

TEST(ImpulseResponseTest, DefaultSourceFacesThePanoramasCentreAndMovesIntoTheAir) {
  RoomAcoustics room = shoebox({6.0, 5.0, 3.0}, uniformBands(0.2), uniformBands(0.2));
  // 1.5 m towards the centre column (scene -x), at the receiver's height.
  Vec3 source = defaultRirSource(room, {3.0, 2.5, 1.2});
  EXPECT_NEAR(source[0], 1.5, 1e-9);
  EXPECT_NEAR(source[1], 2.5, 1e-9);
  EXPECT_NEAR(source[2], 1.2, 1e-9);
  // Near a wall: closer along the same line, 10 cm from the wall at most.
  source = defaultRirSource(room, {1.02, 2.5, 1.2});
  EXPECT_NEAR(source[0], 0.12, 1e-9);
  EXPECT_NEAR(source[1], 2.5, 1e-9);
  // A box in the way: turned to the left (scene -y), with a clear view.
  addObject(room, {0.5, 2.0, 0.0}, {2.8, 3.0, 2.0}, uniformBands(0.5), uniformBands(0.5));
  const Vec3 receiver{3.0, 2.5, 1.2};
  source = defaultRirSource(room, receiver);
  EXPECT_LT(source[1], 2.0 - 0.1);
  EXPECT_LT(source[0], receiver[0]);
  EXPECT_NEAR(std::hypot(source[0] - receiver[0], source[1] - receiver[1]), 1.5, 1e-9);
  checkRirPosition(room, source, "source");
  // Nowhere to go.
  const RoomAcoustics tiny = shoebox({0.3, 0.3, 0.3}, uniformBands(0.2), uniformBands(0.2));
  EXPECT_ROOMBOX_ERROR(defaultRirSource(tiny, {0.15, 0.15, 0.15}),
                       "^There is no place for the impulse response's source near the receiver "
                       "0.15,0.15,0.15: give one with --rir-source$");
}

TEST(ImpulseResponseTest, ARoomThatAbsorbsNothingStopsAtTheCap) {
  const RoomAcoustics room = shoebox({3.0, 3.0, 3.0}, uniformBands(0.0), uniformBands(0.3));
  ImpulseResponseSettings settings = settingsFor({1.0, 1.0, 1.0}, {2.0, 2.0, 2.0});
  settings.maxLengthS = 0.5;
  settings.rays = 300;
  const ImpulseResponse response = computeImpulseResponse(room, settings);
  EXPECT_TRUE(response.truncated);
  EXPECT_EQ(response.frames(), 24000u);
  for (float sample : response.samples) ASSERT_TRUE(std::isfinite(sample));
}

TEST(ImpulseResponseTest, WavFileReadsBackWithOtherReaders) {
  const RoomAcoustics room = shoebox({4.0, 3.0, 2.5}, uniformBands(0.3), uniformBands(0.3));
  ImpulseResponseSettings settings = settingsFor({1.0, 1.0, 1.2}, {3.0, 2.0, 1.4});
  settings.rays = 300;
  settings.sampleRate = 44100;
  const TempDir dir;
  for (RirFormat format : {RirFormat::Mono, RirFormat::AmbiX}) {
    settings.format = format;
    const ImpulseResponse response = computeImpulseResponse(room, settings);
    const std::string path = dir.path() + "room-rir.wav";
    writeImpulseResponseWav(response, path);
    const CommandRun python = runCommand(
        std::string(ROOMBOX_PYTHON3) + " -c 'import sys, numpy; from scipy.io import wavfile; r, d = wavfile.read(sys.argv[1]); "
        "print(r, d.dtype, d.shape[0], 1 if d.ndim == 1 else d.shape[1], "
        "\"%.9g\" % numpy.abs(d.reshape(d.shape[0], -1)[:, 0]).max())' " + quoted(path));
    ASSERT_EQ(python.status, 0) << python.output;
    float peak = 0.0f;
    for (std::size_t n = 0; n < response.frames(); ++n) {
      peak = std::max(peak, std::fabs(response.samples[n * response.channels]));
    }
    char expected[200];
    std::snprintf(expected, sizeof expected, "44100 float32 %zu %d %.9g\n", response.frames(),
                  response.channels, double(peak));
    EXPECT_EQ(python.output, expected);
    // The format chunk's byte rate and block size, which readers that
    // stream the file trust.
    std::FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    unsigned char header[36] = {};
    ASSERT_EQ(std::fread(header, 1, sizeof header, file), sizeof header);
    std::fclose(file);
    const auto little = [&](int at, int bytes) {
      std::uint32_t v = 0;
      for (int k = bytes - 1; k >= 0; --k) v = v * 256 + header[at + k];
      return v;
    };
    EXPECT_EQ(little(28, 4), 44100u * 4 * response.channels);
    EXPECT_EQ(little(32, 2), 4u * response.channels);
    const CommandRun sox = runCommand("sox --i " + quoted(path));
    ASSERT_EQ(sox.status, 0) << sox.output;
    EXPECT_TRUE(matchesPattern(sox.output, "Channels *: " + std::to_string(response.channels) + "\n"))
        << sox.output;
    EXPECT_TRUE(matchesPattern(sox.output, "Sample Rate *: 44100\n")) << sox.output;
    EXPECT_TRUE(matchesPattern(sox.output, "Sample Encoding: 32-bit Floating Point PCM")) << sox.output;
    EXPECT_TRUE(matchesPattern(sox.output, "= " + std::to_string(response.frames()) + " samples"))
        << sox.output;
  }
}

}  // namespace
}  // namespace roombox
