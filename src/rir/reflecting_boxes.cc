#include "rir/reflecting_boxes.h"

#include <algorithm>
#include <cmath>

namespace roombox {

namespace {

// How far a surface may lie from a box face and still belong to it (metres).
constexpr double kPlaneTolerance = 1e-3;
// Segment and ray parameters closer than this to a box's boundary touch it.
constexpr double kTouch = 1e-9;

// Sums weight x coefficients into sum; finishes with the mean scattering.
struct MaterialMean {
  BandValues absorption{};
  BandValues scattering{};
  double weight = 0.0;
  int count = 0;

  void add(const AcousticSurface& surface) {
    const double w = surface.exposedArea > 0 ? surface.exposedArea : surface.area;
    const double used = std::isfinite(w) && w > 0 ? w : 0.0;
    for (int b = 0; b < kBandCount; ++b) {
      absorption[b] += used * surface.absorption[b];
      scattering[b] += used * surface.scattering[b];
    }
    weight += used;
    ++count;
  }
};

double clampUnit(double value) {
  return std::isfinite(value) ? std::min(1.0, std::max(0.0, value)) : 0.0;
}

ReflectionMaterial materialOf(const BandValues& absorption, const BandValues& scattering) {
  ReflectionMaterial material;
  double sum = 0.0;
  for (int b = 0; b < kBandCount; ++b) {
    material.absorption[b] = clampUnit(absorption[b]);
    material.scattering[b] = clampUnit(scattering[b]);
    material.logReflection[b] = std::log1p(-material.absorption[b]);
    sum += material.scattering[b];
  }
  material.meanScattering = sum / kBandCount;
  return material;
}

// The mean's material; fallback when it holds no surface, and the plain
// mean of its surfaces when none has an area.
ReflectionMaterial finish(const MaterialMean& mean, const ReflectionMaterial& fallback) {
  if (mean.count == 0) return fallback;
  BandValues absorption = mean.absorption;
  BandValues scattering = mean.scattering;
  for (int b = 0; b < kBandCount; ++b) {
    absorption[b] /= mean.weight > 0 ? mean.weight : 1.0;
    scattering[b] /= mean.weight > 0 ? mean.weight : 1.0;
  }
  return materialOf(absorption, scattering);
}

// The face (axis, side) of its box whose outward normal is `normal`, or
// false for a normal along no axis.
bool outwardFace(const Vec3& normal, int& axis, int& side) {
  for (int a = 0; a < 3; ++a) {
    if (std::fabs(normal[a]) > 0.99) {
      axis = a;
      side = normal[a] > 0 ? 1 : 0;
      return true;
    }
  }
  return false;
}

// The entry and exit parameters of the line origin + t direction through
// box [lo, hi]; false when the line misses the box's inside.
bool slab(const Vec3& origin, const Vec3& direction, const Vec3& lo, const Vec3& hi,
          double& enter, double& exit, int& enterAxis) {
  enter = -HUGE_VAL;
  exit = HUGE_VAL;
  enterAxis = 0;
  for (int a = 0; a < 3; ++a) {
    if (direction[a] == 0.0) {
      if (!(origin[a] > lo[a] && origin[a] < hi[a])) return false;
      continue;
    }
    double t1 = (lo[a] - origin[a]) / direction[a];
    double t2 = (hi[a] - origin[a]) / direction[a];
    if (t1 > t2) std::swap(t1, t2);
    if (t1 > enter) {
      enter = t1;
      enterAxis = a;
    }
    exit = std::min(exit, t2);
  }
  return enter < exit;
}

}  // namespace

ReflectingBoxes gatherReflectingBoxes(const RoomAcoustics& room) {
  ReflectingBoxes boxes;
  boxes.roomMin = room.roomMin;
  boxes.roomMax = room.roomMax;
  for (const AcousticObject& object : room.objects) {
    boxes.objectMin.push_back(object.min);
    boxes.objectMax.push_back(object.max);
  }

  MaterialMean all;
  std::array<MaterialMean, 6> perFace;
  std::vector<MaterialMean> perObject(room.objects.size());
  std::vector<std::array<MaterialMean, 6>> perObjectFace(room.objects.size());
  for (const AcousticSurface& surface : room.surfaces) {
    int axis = 0;
    int side = 0;
    if (!outwardFace(surface.normal, axis, side)) continue;
    if (surface.object) {
      if (surface.objectIndex < 0 || surface.objectIndex >= int(room.objects.size())) continue;
      perObject[surface.objectIndex].add(surface);
      perObjectFace[surface.objectIndex][faceIndex(axis, side)].add(surface);
      continue;
    }
    // A room surface faces into the room: its normal points away from the
    // room-box face it lies on.
    const int roomSide = side == 1 ? 0 : 1;
    const double plane = roomSide == 0 ? room.roomMin[axis] : room.roomMax[axis];
    double level = 0.0;
    Vec3 lo{HUGE_VAL, HUGE_VAL, HUGE_VAL};
    Vec3 hi{-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    for (const Vec3& corner : surface.corners) {
      level += corner[axis] / 4;
      for (int a = 0; a < 3; ++a) {
        lo[a] = std::min(lo[a], corner[a]);
        hi[a] = std::max(hi[a], corner[a]);
      }
    }
    all.add(surface);
    if (!(std::fabs(level - plane) <= kPlaneTolerance)) continue;
    const int face = faceIndex(axis, roomSide);
    perFace[face].add(surface);
    boxes.roomPatches[face].push_back(
        {lo, hi, materialOf(surface.absorption, surface.scattering)});
  }

  // Without any room surface the room's mean absorption stands for all.
  const ReflectionMaterial roomMean = finish(all, materialOf(room.meanAbsorption, BandValues{}));
  for (int face = 0; face < 6; ++face) boxes.roomFallback[face] = finish(perFace[face], roomMean);
  boxes.objectFaces.resize(room.objects.size());
  for (std::size_t o = 0; o < room.objects.size(); ++o) {
    const ReflectionMaterial objectMean = finish(perObject[o], roomMean);
    for (int face = 0; face < 6; ++face) {
      boxes.objectFaces[o][face] = finish(perObjectFace[o][face], objectMean);
    }
  }
  return boxes;
}

const ReflectionMaterial& roomMaterialAt(const ReflectingBoxes& boxes, int axis, int side,
                                         const Vec3& p) {
  const int face = faceIndex(axis, side);
  for (const ReflectingBoxes::FacePatch& patch : boxes.roomPatches[face]) {
    bool inside = true;
    for (int a = 0; a < 3 && inside; ++a) {
      if (a == axis) continue;
      inside = p[a] >= patch.min[a] - kPlaneTolerance && p[a] <= patch.max[a] + kPlaneTolerance;
    }
    if (inside) return patch.material;
  }
  return boxes.roomFallback[face];
}

bool segmentBlocked(const ReflectingBoxes& boxes, const Vec3& a, const Vec3& b) {
  const Vec3 d{b[0] - a[0], b[1] - a[1], b[2] - a[2]};
  for (std::size_t o = 0; o < boxes.objectMin.size(); ++o) {
    double enter = 0.0;
    double exit = 0.0;
    int axis = 0;
    if (!slab(a, d, boxes.objectMin[o], boxes.objectMax[o], enter, exit, axis)) continue;
    if (std::min(exit, 1.0) - std::max(enter, 0.0) > kTouch) return true;
  }
  return false;
}

bool firstObjectHit(const ReflectingBoxes& boxes, const Vec3& origin, const Vec3& direction,
                    double maxDistance, double& distance, int& object, int& axis, int& side) {
  bool found = false;
  double best = maxDistance;
  for (std::size_t o = 0; o < boxes.objectMin.size(); ++o) {
    double enter = 0.0;
    double exit = 0.0;
    int enterAxis = 0;
    if (!slab(origin, direction, boxes.objectMin[o], boxes.objectMax[o], enter, exit, enterAxis)) {
      continue;
    }
    if (enter <= kTouch || enter >= best || exit - enter <= kTouch) continue;
    best = enter;
    found = true;
    object = int(o);
    axis = enterAxis;
    side = direction[enterAxis] > 0 ? 0 : 1;
  }
  distance = best;
  return found;
}

}  // namespace roombox
