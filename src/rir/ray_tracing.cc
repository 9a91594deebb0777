#include "rir/ray_tracing.h"

#include "common/parallel.h"
#include "common/pi.h"
#include "rir/ambisonics.h"
#include "rir/random_stream.h"

#include <algorithm>
#include <cmath>

namespace roombox {

namespace {

constexpr int kChunkRays = 250;
// ln(10^-6) and ln(10^-7): a band has decayed by 60 dB; a ray stops at 70.
constexpr double kLog60dB = -13.815510557964274;
constexpr double kLog70dB = -16.11809565095832;
// ln(10^-4.5): below -45 dB in every band a ray plays Russian roulette.
constexpr double kLogRoulette = -10.361632918473205;
constexpr double kLog2 = 0.6931471805599453;

// One chunk's sums, grown as its rays reach later bins.
struct ChunkSums {
  std::vector<BandValues> energy;
  // The room's bins without the air's share: each bin's parts of paths,
  // and the steps of the energy that whole bins gain (summed from the
  // front, a bin gets the energy of every path that crosses it whole).
  std::vector<BandValues> roomParts;
  std::vector<BandValues> roomSteps;
  std::vector<std::array<BandValues, 3>> gainSum;
  std::vector<std::array<BandValues, 3>> gainSquareSum;
  bool truncated = false;

  void clear() {
    energy.clear();
    roomParts.clear();
    roomSteps.clear();
    gainSum.clear();
    gainSquareSum.clear();
    truncated = false;
  }
};

double dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Ray i of n on a spherical Fibonacci lattice.
Vec3 latticeDirection(int i, int n) {
  const double golden = kPi * (3.0 - std::sqrt(5.0));
  const double z = 1.0 - (2.0 * i + 1.0) / n;
  const double radius = std::sqrt(std::max(0.0, 1.0 - z * z));
  const double phi = golden * i;
  return Vec3{radius * std::cos(phi), radius * std::sin(phi), z};
}

// A cosine-weighted direction about the unit normal.
Vec3 lambertDirection(const Vec3& normal, RandomStream& random) {
  const double u = random.uniform();
  const double phi = 2 * kPi * random.uniform();
  const double sinTheta = std::sqrt(u);
  const double cosTheta = std::sqrt(1.0 - u);
  // Two unit vectors perpendicular to the normal.
  const Vec3 helper = std::fabs(normal[0]) < 0.9 ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
  Vec3 t{normal[1] * helper[2] - normal[2] * helper[1],
         normal[2] * helper[0] - normal[0] * helper[2],
         normal[0] * helper[1] - normal[1] * helper[0]};
  const double length = std::sqrt(dot(t, t));
  for (double& v : t) v /= length;
  const Vec3 s{normal[1] * t[2] - normal[2] * t[1], normal[2] * t[0] - normal[0] * t[2],
               normal[0] * t[1] - normal[1] * t[0]};
  Vec3 d;
  for (int a = 0; a < 3; ++a) {
    d[a] = cosTheta * normal[a] + sinTheta * (std::cos(phi) * t[a] + std::sin(phi) * s[a]);
  }
  return d;
}

class ChunkTracer {
 public:
  ChunkTracer(const RoomAcoustics& room, const ReflectingBoxes& boxes, const Vec3& source,
              const Vec3& receiver, const RayTracingSettings& settings, double binSeconds)
      : room_(room), boxes_(boxes), source_(source), receiver_(receiver), settings_(settings),
        binSeconds_(binSeconds) {
    const double r = settings.receiverRadius;
    sphereVolume_ = 4.0 / 3.0 * kPi * r * r * r;
    rayEnergy_ = 1.0 / (4 * kPi * settings.rays);
    maxDistance_ = settings.maxTimeS * room.speedOfSound;
  }

  void trace(int chunk, ChunkSums& sums) const {
    sums.clear();
    RandomStream random(settings_.seed, std::uint64_t(chunk));
    const int first = chunk * kChunkRays;
    const int last = std::min(settings_.rays, first + kChunkRays);
    for (int i = first; i < last; ++i) traceRay(latticeDirection(i, settings_.rays), random, sums);
  }

 private:
  void traceRay(Vec3 direction, RandomStream& random, ChunkSums& sums) const {
    Vec3 position = source_;
    BandValues logEnergy{};  // ln of the wall factors so far
    BandValues energy;       // the ray's energy after the walls (without the air's share)
    energy.fill(rayEnergy_);
    int doublings = 0;       // the roulettes survived: logEnergy and energy hold 2^doublings x
                             // what the walls left
    double travelled = 0.0;
    for (int reflection = 0;; ++reflection) {
      // The next surface: the room box's exit or an object box's face.
      double distance = HUGE_VAL;
      int axis = 0;
      int side = 0;
      for (int a = 0; a < 3; ++a) {
        if (direction[a] == 0.0) continue;
        const int s = direction[a] > 0 ? 1 : 0;
        const double bound = s ? boxes_.roomMax[a] : boxes_.roomMin[a];
        const double t = std::max(0.0, (bound - position[a]) / direction[a]);
        if (t < distance) {
          distance = t;
          axis = a;
          side = s;
        }
      }
      if (!std::isfinite(distance)) return;  // no direction at all
      int object = -1;
      double objectDistance = 0.0;
      int objectAxis = 0;
      int objectSide = 0;
      if (firstObjectHit(boxes_, position, direction, distance, objectDistance, object,
                         objectAxis, objectSide)) {
        distance = objectDistance;
      } else {
        object = -1;
      }
      const bool last = travelled + distance >= maxDistance_;
      const double segment = last ? maxDistance_ - travelled : distance;
      if (reflection > 0) detect(position, direction, segment, travelled, logEnergy, sums);
      addToRoom(travelled, travelled + segment, energy, sums);

      // Whether each band has fallen by 60 dB (70 dB) by the segment's end,
      // with the air's share, and whether the ray's weight is below the
      // roulette's level in every band.
      bool allDecayed = true;
      bool allStopped = true;
      bool allFaint = true;
      for (int b = 0; b < kBandCount; ++b) {
        const double endLog = logEnergy[b] - room_.airAttenuation[b] * (travelled + segment);
        const double fallen = endLog - doublings * kLog2;
        allDecayed = allDecayed && fallen < kLog60dB;
        allStopped = allStopped && fallen < kLog70dB;
        allFaint = allFaint && endLog < kLogRoulette;
      }
      travelled += segment;
      if (allStopped) break;
      if (last || reflection >= kMaxReflectionsPerRay) {
        if (!allDecayed) sums.truncated = true;
        return;
      }
      // Russian roulette: a faint ray ends or, with probability 1/2, goes on
      // at twice its energy. The expected energy everywhere stays as it was,
      // and the rays' time goes to those that still carry energy: a ray
      // stays above -48 dB while it lasts, and the rays left fall in number
      // as the energy does.
      if (allFaint) {
        if (random.uniform() < 0.5) return;
        ++doublings;
        for (int b = 0; b < kBandCount; ++b) {
          logEnergy[b] += kLog2;
          energy[b] *= 2.0;
        }
      }

      // Reflect.
      for (int a = 0; a < 3; ++a) position[a] += distance * direction[a];
      const ReflectionMaterial* material = nullptr;
      Vec3 normal{0, 0, 0};
      if (object >= 0) {
        const Vec3& face = objectSide ? boxes_.objectMax[object] : boxes_.objectMin[object];
        position[objectAxis] = face[objectAxis];
        normal[objectAxis] = objectSide ? 1.0 : -1.0;
        material = &boxes_.objectFaces[object][faceIndex(objectAxis, objectSide)];
      } else {
        position[axis] = side ? boxes_.roomMax[axis] : boxes_.roomMin[axis];
        normal[axis] = side ? -1.0 : 1.0;
        material = &roomMaterialAt(boxes_, axis, side, position);
      }
      // Rounding must not carry the ray out of the room box.
      for (int a = 0; a < 3; ++a) {
        position[a] = std::min(boxes_.roomMax[a], std::max(boxes_.roomMin[a], position[a]));
      }
      for (int b = 0; b < kBandCount; ++b) {
        logEnergy[b] += material->logReflection[b];
        energy[b] *= 1.0 - material->absorption[b];
      }
      if (random.uniform() < material->meanScattering) {
        direction = lambertDirection(normal, random);
      } else {
        const double along = dot(direction, normal);
        for (int a = 0; a < 3; ++a) direction[a] -= 2 * along * normal[a];
      }
    }
    // Stopped at 70 dB: every band passed its 60 dB point on the way.
  }

  // Adds the ray's energy x the length of its path from `from` to `to`
  // (metres travelled) to the room's bins: the parts in its first and last
  // bin, and a step up and down for the whole bins between.
  void addToRoom(double from, double to, const BandValues& energy, ChunkSums& sums) const {
    if (!(to > from) || !(from >= 0) || !(to <= maxDistance_)) return;
    const double binLength = binSeconds_ * room_.speedOfSound;
    const std::size_t first = std::size_t(from / binLength);
    const std::size_t last = std::max(first, std::size_t(to / binLength));
    if (last >= sums.roomParts.size()) {
      sums.roomParts.resize(last + 1, BandValues{});
      sums.roomSteps.resize(last + 1, BandValues{});
    }
    if (first == last) {
      for (int b = 0; b < kBandCount; ++b) sums.roomParts[first][b] += energy[b] * (to - from);
      return;
    }
    const double head = double(first + 1) * binLength - from;
    const double tail = to - double(last) * binLength;
    for (int b = 0; b < kBandCount; ++b) {
      sums.roomParts[first][b] += energy[b] * head;
      sums.roomParts[last][b] += energy[b] * tail;
      sums.roomSteps[first + 1][b] += energy[b] * binLength;
      sums.roomSteps[last][b] -= energy[b] * binLength;
    }
  }

  // Adds the part of the segment inside the receiver sphere.
  void detect(const Vec3& position, const Vec3& direction, double segment, double travelled,
              const BandValues& logEnergy, ChunkSums& sums) const {
    const Vec3 w{receiver_[0] - position[0], receiver_[1] - position[1],
                 receiver_[2] - position[2]};
    const double along = dot(w, direction);
    const double r = settings_.receiverRadius;
    const double away2 = dot(w, w) - along * along;
    if (away2 >= r * r) return;
    const double half = std::sqrt(r * r - away2);
    const double t0 = std::max(0.0, along - half);
    const double t1 = std::min(segment, along + half);
    if (!(t1 > t0)) return;
    const double middle = travelled + 0.5 * (t0 + t1);
    const double time = middle / room_.speedOfSound;
    const std::size_t bin = std::size_t(time / binSeconds_);
    if (bin >= sums.energy.size()) {
      sums.energy.resize(bin + 1, BandValues{});
      if (settings_.directions) {
        sums.gainSum.resize(bin + 1, std::array<BandValues, 3>{});
        sums.gainSquareSum.resize(bin + 1, std::array<BandValues, 3>{});
      }
    }
    const double weight = rayEnergy_ * (t1 - t0) / sphereVolume_;
    std::array<double, 4> gains{};
    if (settings_.directions) {
      gains = ambixGains(Vec3{-direction[0], -direction[1], -direction[2]});
    }
    for (int b = 0; b < kBandCount; ++b) {
      const double energy = weight * std::exp(logEnergy[b] - room_.airAttenuation[b] * middle);
      sums.energy[bin][b] += energy;
      if (!settings_.directions) continue;
      for (int k = 0; k < 3; ++k) {
        sums.gainSum[bin][k][b] += energy * gains[k + 1];
        sums.gainSquareSum[bin][k][b] += energy * gains[k + 1] * gains[k + 1];
      }
    }
  }

  const RoomAcoustics& room_;
  const ReflectingBoxes& boxes_;
  const Vec3 source_;
  const Vec3 receiver_;
  const RayTracingSettings& settings_;
  const double binSeconds_;
  double sphereVolume_ = 0.0;
  double rayEnergy_ = 0.0;
  double maxDistance_ = 0.0;
};

// total += part, bin by bin.
template <typename Bins>
void addBins(Bins& total, const Bins& part) {
  if (part.size() > total.size()) total.resize(part.size());
  for (std::size_t i = 0; i < part.size(); ++i) {
    for (std::size_t k = 0; k < part[i].size(); ++k) total[i][k] += part[i][k];
  }
}

template <typename Bins3>
void addBins3(Bins3& total, const Bins3& part) {
  if (part.size() > total.size()) total.resize(part.size());
  for (std::size_t i = 0; i < part.size(); ++i) {
    for (int k = 0; k < 3; ++k) {
      for (int b = 0; b < kBandCount; ++b) total[i][k][b] += part[i][k][b];
    }
  }
}

}  // namespace

EnergyHistogram traceRays(const RoomAcoustics& room, const ReflectingBoxes& boxes,
                          const Vec3& source, const Vec3& receiver,
                          const RayTracingSettings& settings) {
  EnergyHistogram histogram;
  if (settings.rays <= 0) return histogram;
  const ChunkTracer tracer(room, boxes, source, receiver, settings, histogram.binSeconds);
  const int chunks = (settings.rays + kChunkRays - 1) / kChunkRays;
  const int threads = std::max(1, std::min(settings.threads, chunks));
  std::vector<ChunkSums> sums(static_cast<std::size_t>(threads));
  std::vector<BandValues> roomParts;
  std::vector<BandValues> roomSteps;
  // Waves of `threads` chunks, each wave's sums added in chunk order: the
  // same additions in the same order for any number of threads.
  for (int start = 0; start < chunks; start += threads) {
    const int count = std::min(threads, chunks - start);
    runParallelWorkers(threads, count, [&](int, int k) { tracer.trace(start + k, sums[k]); });
    for (int k = 0; k < count; ++k) {
      addBins(histogram.energy, sums[k].energy);
      addBins(roomParts, sums[k].roomParts);
      addBins(roomSteps, sums[k].roomSteps);
      if (settings.directions) {
        addBins3(histogram.gainSum, sums[k].gainSum);
        addBins3(histogram.gainSquareSum, sums[k].gainSquareSum);
      }
      histogram.truncated = histogram.truncated || sums[k].truncated;
    }
  }
  // The room's bins: the whole bins' energy summed up from its steps, the
  // parts added, each bin at the air's attenuation at its middle.
  const double binLength = histogram.binSeconds * room.speedOfSound;
  histogram.roomEnergy.resize(roomParts.size());
  for (int b = 0; b < kBandCount; ++b) {
    const double step = std::exp(-room.airAttenuation[b] * binLength);
    double air = std::exp(-room.airAttenuation[b] * 0.5 * binLength);
    double whole = 0.0;
    for (std::size_t bin = 0; bin < roomParts.size(); ++bin) {
      whole += roomSteps[bin][b];
      histogram.roomEnergy[bin][b] = (whole + roomParts[bin][b]) * air;
      air *= step;
    }
  }
  if (settings.directions) {
    histogram.gainSum.resize(histogram.energy.size());
    histogram.gainSquareSum.resize(histogram.energy.size());
  }
  return histogram;
}

}  // namespace roombox
