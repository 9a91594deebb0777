// Times computeImpulseResponse and measures the spread of its T30 from seed
// to seed, printed as markdown tables (scripts/benchmark.sh runs it):
//  - the example room as a run computes it (its acoustic model, the default
//    source and receiver, order, rays and receiver radius), 48 kHz, mono and
//    AmbiX, on one core and on two;
//  - the example room's cost against the ray count;
//  - the cost against the number of boxes, in a furnished 6 x 4 x 3 m room
//    (a bed-sized box, a wardrobe, and up to 1000 small boxes);
//  - the example room's T30 per band over ten seeds: mean and largest
//    deviation from it.
//
//   impulse_response_bench EXAMPLES_FOLDER [RUNS] [--mono-one-core]
//
// With --mono-one-core it prints only the median time of the example room's
// mono response on one core: two such processes side by side give the
// machine's own limit on what two cores can do for the same work.
#include "roombox/impulse_response.h"
#include "roombox/roombox.h"
#include "rir/shoebox_rooms.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace roombox;

namespace {

// A furnished bedroom: painted walls and ceiling, a wooden floor, an
// upholstered bed and a wardrobe; 20 degrees, 50 % humidity.
RoomAcoustics bedroom(int extraBoxes) {
  const BandValues walls{0.10, 0.08, 0.06, 0.05, 0.05, 0.05, 0.05};
  const BandValues floor{0.15, 0.11, 0.10, 0.07, 0.06, 0.07, 0.07};
  const BandValues soft{0.35, 0.45, 0.57, 0.61, 0.59, 0.55, 0.55};
  const BandValues wood{0.19, 0.14, 0.09, 0.06, 0.06, 0.05, 0.05};
  const BandValues scattering{0.1, 0.15, 0.2, 0.3, 0.4, 0.5, 0.5};
  RoomAcoustics room = shoebox({6.0, 4.0, 3.0}, walls, scattering,
                               {0.0001, 0.0004, 0.0010, 0.0019, 0.0042, 0.0120, 0.0390}, 343.2);
  room.surfaces[4].absorption = floor;  // the face z = 0
  addObject(room, {0.2, 0.3, 0.0}, {2.2, 1.9, 0.6}, soft, scattering);
  addObject(room, {5.3, 0.2, 0.0}, {5.9, 2.0, 2.1}, wood, scattering);
  for (int k = 0; k < extraBoxes; ++k) {
    const double x = 2.6 + 0.25 * (k % 8);
    const double y = 2.5 + 0.2 * ((k / 8) % 6);
    const double z = 0.05 * (k / 48);
    addObject(room, {x, y, z}, {x + 0.1, y + 0.1, z + 0.04}, wood, scattering);
  }
  return room;
}

double seconds(const RoomAcoustics& room, const ImpulseResponseSettings& settings, int runs) {
  std::vector<double> times;
  for (int r = 0; r < runs; ++r) {
    const auto start = std::chrono::steady_clock::now();
    const ImpulseResponse response = computeImpulseResponse(room, settings);
    times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    if (response.samples.empty()) std::printf("empty\n");
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: impulse_response_bench EXAMPLES_FOLDER [RUNS] [--mono-one-core]\n");
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  const Reconstruction example =
      reconstructRoom(readPlaneInfo(folder, "planes.txt"), readPanorama(folder + "shifted_t.png"));
  const RoomAcoustics room = computeRoomAcoustics(example);
  ImpulseResponseSettings settings;
  settings.receiver = {0.0, 0.0, 0.0};
  settings.source = defaultRirSource(room, settings.receiver);
  if (argc > 3 && std::string(argv[3]) == "--mono-one-core") {
    settings.threads = 1;
    std::printf("%.3f\n", seconds(room, settings, runs));
    return 0;
  }

  std::printf("| example room | cores | median time (s) | length (s) |\n|---|---|---|---|\n");
  for (RirFormat format : {RirFormat::Mono, RirFormat::AmbiX}) {
    for (int threads : {1, 2}) {
      settings.format = format;
      settings.threads = threads;
      const ImpulseResponse response = computeImpulseResponse(room, settings);
      std::printf("| %s | %d | %.3f | %.2f |\n", format == RirFormat::Mono ? "mono" : "ambix",
                  threads, seconds(room, settings, runs), response.lengthS());
    }
  }
  settings.format = RirFormat::Mono;
  settings.threads = 2;

  std::printf("\n| rays (example room) | median time, 2 cores (s) |\n|---|---|\n");
  for (int rays : {1000, 2000, 6000, 12000, 24000}) {
    ImpulseResponseSettings s = settings;
    s.rays = rays;
    std::printf("| %d | %.3f |\n", rays, seconds(room, s, runs));
  }
  std::printf("\n| boxes (furnished 6 x 4 x 3 m room) | median time, 2 cores (s) |\n|---|---|\n");
  ImpulseResponseSettings bedroomSettings = settings;
  bedroomSettings.source = {3.3, 2.8, 1.5};
  bedroomSettings.receiver = {3.0, 1.4, 1.5};
  for (int extra : {0, 10, 100, 1000}) {
    std::printf("| %d | %.3f |\n", extra + 2, seconds(bedroom(extra), bedroomSettings, runs));
  }

  std::printf("\n| band (Hz) | example room's T30, mean (s) | largest deviation over 10 seeds |\n|---|---|---|\n");
  std::vector<BandValues> t30s;
  for (std::uint64_t seed = 0; seed < 10; ++seed) {
    settings.seed = seed;
    const std::vector<std::vector<double>> curves = energyDecayCurves(computeImpulseResponse(room, settings));
    BandValues t30{};
    for (int b = 0; b < kBandCount; ++b) t30[b] = t30FromDecay(curves[b], settings.sampleRate);
    t30s.push_back(t30);
  }
  for (int b = 0; b < kBandCount; ++b) {
    double mean = 0.0;
    for (const BandValues& t : t30s) mean += t[b] / t30s.size();
    double worst = 0.0;
    for (const BandValues& t : t30s) worst = std::max(worst, std::fabs(t[b] / mean - 1));
    std::printf("| %.0f | %.3f | %.1f %% |\n", kBandCentresHz[b], mean, 100 * worst);
  }
  return 0;
}
