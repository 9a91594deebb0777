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

// Object boxes up to which a ray tests them all rather than walk the grid.
constexpr std::size_t kBoxesWithoutGrid = 8;
constexpr int kMaxCellsPerAxis = 48;

// The cell range [first, last] along axis a that [lo, hi] overlaps.
void cellRange(const ReflectingBoxes& boxes, int a, double lo, double hi, int& first, int& last) {
  const double extent = boxes.roomMax[a] - boxes.roomMin[a];
  const int n = boxes.cells[a];
  const auto cellOf = [&](double x) {
    const double at = (x - boxes.roomMin[a]) / extent * n;
    return at <= 0 ? 0 : at >= n - 1 ? n - 1 : int(at);
  };
  first = cellOf(lo);
  last = cellOf(hi);
}

void buildGrid(ReflectingBoxes& boxes) {
  const std::size_t count = boxes.objectMin.size();
  if (count <= kBoxesWithoutGrid) return;
  for (int a = 0; a < 3; ++a) {
    if (!(boxes.roomMax[a] > boxes.roomMin[a])) return;
  }
  const int n = std::min(kMaxCellsPerAxis, int(std::ceil(std::cbrt(double(count)))));
  boxes.cells = {n, n, n};
  const std::size_t cellCount = std::size_t(n) * n * n;
  std::vector<int> counts(cellCount + 1, 0);
  // Two passes: count the boxes per cell, then place them.
  for (int pass = 0; pass < 2; ++pass) {
    for (std::size_t o = 0; o < count; ++o) {
      std::array<int, 3> first{};
      std::array<int, 3> last{};
      bool outside = false;
      for (int a = 0; a < 3; ++a) {
        const double lo = boxes.objectMin[o][a];
        const double hi = boxes.objectMax[o][a];
        if (!(hi >= boxes.roomMin[a] && lo <= boxes.roomMax[a])) outside = true;
        cellRange(boxes, a, lo, hi, first[a], last[a]);
      }
      if (outside) continue;
      for (int z = first[2]; z <= last[2]; ++z) {
        for (int y = first[1]; y <= last[1]; ++y) {
          for (int x = first[0]; x <= last[0]; ++x) {
            const std::size_t cell = (std::size_t(z) * n + y) * n + x;
            if (pass == 0) {
              ++counts[cell + 1];
            } else {
              boxes.cellBoxes[std::size_t(counts[cell]++)] = int(o);
            }
          }
        }
      }
    }
    if (pass == 0) {
      for (std::size_t k = 0; k < cellCount; ++k) counts[k + 1] += counts[k];
      boxes.cellStart = counts;
      boxes.cellBoxes.resize(std::size_t(counts[cellCount]));
    }
  }
}

// A ray from origin along direction, with the reciprocals of the
// direction's components (a ray meets many boxes; multiplying is cheaper
// than dividing) and, per axis, which face of a box it meets first.
struct Ray {
  Vec3 origin;
  Vec3 direction;
  Vec3 inverse;
  std::array<int, 3> nearSide{};  // 0: the low face (the ray goes up the axis), 1: the high one
  bool alongAFace = false;        // a component is 0: the ray runs parallel to some faces
};

Ray rayOf(const Vec3& origin, const Vec3& direction) {
  Ray ray{origin, direction, {1.0 / direction[0], 1.0 / direction[1], 1.0 / direction[2]}};
  for (int a = 0; a < 3; ++a) {
    ray.nearSide[a] = direction[a] > 0 ? 0 : 1;
    ray.alongAFace = ray.alongAFace || direction[a] == 0.0;
  }
  return ray;
}

// Keeps box o's entry in best when it lies nearer (the box's axis and
// side of entry in axis and side).
void keepEntry(std::size_t o, const Ray& ray, double enter, double exit, int enterAxis,
               double& best, bool& found, int& object, int& axis, int& side) {
  if (!(enter < exit)) return;
  if (enter <= kTouch || enter >= best || exit - enter <= kTouch) return;
  best = enter;
  found = true;
  object = int(o);
  axis = enterAxis;
  side = ray.direction[enterAxis] > 0 ? 0 : 1;
}

// Tests box o against the ray; keeps the nearest entry in best.
void testBox(const ReflectingBoxes& boxes, std::size_t o, const Ray& ray, double& best,
             bool& found, int& object, int& axis, int& side) {
  const Vec3& lo = boxes.objectMin[o];
  const Vec3& hi = boxes.objectMax[o];
  if (!ray.alongAFace) {
    // Each axis's entry and exit: the near face's parameter and the far one's.
    std::array<double, 3> in;
    std::array<double, 3> out;
    for (int a = 0; a < 3; ++a) {
      const double nearFace = ray.nearSide[a] ? hi[a] : lo[a];
      const double farFace = ray.nearSide[a] ? lo[a] : hi[a];
      in[a] = (nearFace - ray.origin[a]) * ray.inverse[a];
      out[a] = (farFace - ray.origin[a]) * ray.inverse[a];
    }
    // The first axis of the latest entry, as the slabs are met.
    const int enterAxis = in[1] > in[0] ? (in[2] > in[1] ? 2 : 1) : (in[2] > in[0] ? 2 : 0);
    const double exit = std::min(out[0], std::min(out[1], out[2]));
    keepEntry(o, ray, in[enterAxis], exit, enterAxis, best, found, object, axis, side);
    return;
  }
  double enter = -HUGE_VAL;
  double exit = HUGE_VAL;
  int enterAxis = 0;
  for (int a = 0; a < 3; ++a) {
    if (ray.direction[a] == 0.0) {
      if (!(ray.origin[a] > lo[a] && ray.origin[a] < hi[a])) return;
      continue;
    }
    double t1 = (lo[a] - ray.origin[a]) * ray.inverse[a];
    double t2 = (hi[a] - ray.origin[a]) * ray.inverse[a];
    if (t1 > t2) std::swap(t1, t2);
    if (t1 > enter) {
      enter = t1;
      enterAxis = a;
    }
    exit = std::min(exit, t2);
  }
  keepEntry(o, ray, enter, exit, enterAxis, best, found, object, axis, side);
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
  buildGrid(boxes);
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
  const Ray ray = rayOf(origin, direction);
  if (boxes.cellStart.empty()) {
    for (std::size_t o = 0; o < boxes.objectMin.size(); ++o) {
      testBox(boxes, o, ray, best, found, object, axis, side);
    }
    distance = best;
    return found;
  }
  // Walk the cells along the ray (Amanatides and Woo), nearest first, until
  // a hit lies within the cell walked or the ray leaves the grid.
  std::array<int, 3> cell{};
  std::array<int, 3> step{};
  std::array<double, 3> next{};
  std::array<double, 3> delta{};
  for (int a = 0; a < 3; ++a) {
    const int n = boxes.cells[a];
    const double size = (boxes.roomMax[a] - boxes.roomMin[a]) / n;
    const double at = (origin[a] - boxes.roomMin[a]) / size;
    cell[a] = at <= 0 ? 0 : at >= n - 1 ? n - 1 : int(at);
    if (direction[a] > 0) {
      step[a] = 1;
      next[a] = (boxes.roomMin[a] + (cell[a] + 1) * size - origin[a]) / direction[a];
      delta[a] = size / direction[a];
    } else if (direction[a] < 0) {
      step[a] = -1;
      next[a] = (boxes.roomMin[a] + cell[a] * size - origin[a]) / direction[a];
      delta[a] = -size / direction[a];
    } else {
      step[a] = 0;
      next[a] = HUGE_VAL;
      delta[a] = HUGE_VAL;
    }
  }
  const int n = boxes.cells[0];
  for (;;) {
    const std::size_t k = (std::size_t(cell[2]) * n + cell[1]) * n + cell[0];
    for (int i = boxes.cellStart[k]; i < boxes.cellStart[k + 1]; ++i) {
      testBox(boxes, std::size_t(boxes.cellBoxes[i]), ray, best, found, object, axis, side);
    }
    const int a = next[0] < next[1] ? (next[0] < next[2] ? 0 : 2) : (next[1] < next[2] ? 1 : 2);
    const double cellExit = next[a];
    if (best <= cellExit || cellExit >= maxDistance) break;
    cell[a] += step[a];
    if (cell[a] < 0 || cell[a] >= boxes.cells[a]) break;
    next[a] += delta[a];
  }
  distance = best;
  return found;
}

}  // namespace roombox
