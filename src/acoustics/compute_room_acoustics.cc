#include "roombox/compute_room_acoustics.h"

#include "acoustics/air.h"
#include "acoustics/box_union.h"
#include "acoustics/reverberation.h"
#include "roombox/error.h"

#include <algorithm>
#include <cmath>

namespace roombox {

namespace {

// A box face within this distance of a room surface's plane stands on it.
constexpr double kContactTolerance = 1e-3;

// The four corners of mesh rectangle `row`, the one place that reads the
// mesh's faces.
std::array<Vec3, 4> meshCorners(const MeshStore& mesh, int row) {
  double raw[4][3];
  rectangleCorners(mesh, row, raw);
  std::array<Vec3, 4> corners{};
  for (int k = 0; k < 4; ++k) corners[k] = {raw[k][0], raw[k][1], raw[k][2]};
  return corners;
}

bool finite(const Vec3& p) {
  return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
}

// One axis-aligned rectangle: the axis of its normal, its position on it and
// its extent on the other two axes (u, v with u x v along +axis).
struct PlaneRectangle {
  int axis = 2;
  double position = 0.0;
  double uLo = 0.0, uHi = 0.0, vLo = 0.0, vHi = 0.0;
};

int uAxis(int axis) { return (axis + 1) % 3; }
int vAxis(int axis) { return (axis + 2) % 3; }

// The rectangle spanned by corners: its normal axis is the one along which
// the corners differ least.
PlaneRectangle planeRectangle(const std::array<Vec3, 4>& corners) {
  Vec3 lo = corners[0];
  Vec3 hi = corners[0];
  for (const Vec3& c : corners) {
    for (int a = 0; a < 3; ++a) {
      lo[a] = std::min(lo[a], c[a]);
      hi[a] = std::max(hi[a], c[a]);
    }
  }
  PlaneRectangle r;
  r.axis = 0;
  for (int a = 1; a < 3; ++a) {
    if (hi[a] - lo[a] < hi[r.axis] - lo[r.axis]) r.axis = a;
  }
  r.position = 0.5 * (lo[r.axis] + hi[r.axis]);
  r.uLo = lo[uAxis(r.axis)];
  r.uHi = hi[uAxis(r.axis)];
  r.vLo = lo[vAxis(r.axis)];
  r.vHi = hi[vAxis(r.axis)];
  return r;
}

// The corners of r counter-clockwise seen from the side its normal (sign
// along its axis) points to.
std::array<Vec3, 4> windingCorners(const PlaneRectangle& r, double sign) {
  const int u = uAxis(r.axis);
  const int v = vAxis(r.axis);
  const double us[4] = {r.uLo, r.uHi, r.uHi, r.uLo};
  const double vs[4] = {r.vLo, r.vLo, r.vHi, r.vHi};
  std::array<Vec3, 4> corners{};
  for (int k = 0; k < 4; ++k) {
    const int j = sign > 0.0 ? k : (4 - k) % 4;
    corners[k][r.axis] = r.position;
    corners[k][u] = us[j];
    corners[k][v] = vs[j];
  }
  return corners;
}

AlignedBox<3> boxOf(const AcousticObject& object) {
  AlignedBox<3> box;
  for (int a = 0; a < 3; ++a) {
    box.lo[a] = object.min[a];
    box.hi[a] = object.max[a];
  }
  return box;
}

// The area of room surface r (normal along sign) that no object box
// standing on it covers.
double exposedRoomArea(const PlaneRectangle& r, double sign,
                       const std::vector<AcousticObject>& objects) {
  const double area = (r.uHi - r.uLo) * (r.vHi - r.vLo);
  const int u = uAxis(r.axis);
  const int v = vAxis(r.axis);
  std::vector<AlignedBox<2>> footprints;
  for (const AcousticObject& object : objects) {
    const double face = sign > 0.0 ? object.min[r.axis] : object.max[r.axis];
    if (!(std::fabs(face - r.position) <= kContactTolerance)) continue;
    AlignedBox<2> footprint;
    footprint.lo = {object.min[u], object.min[v]};
    footprint.hi = {object.max[u], object.max[v]};
    footprints.push_back(footprint);
  }
  AlignedBox<2> clip;
  clip.lo = {r.uLo, r.vLo};
  clip.hi = {r.uHi, r.vHi};
  return std::max(0.0, area - unionMeasure<2>(footprints, clip));
}

// The part of object face r (normal along sign) inside the room box; a face
// lying on a room surface and facing it touches no air.
double exposedObjectArea(const PlaneRectangle& r, double sign, const Vec3& roomMin,
                         const Vec3& roomMax) {
  const double wall = sign > 0.0 ? roomMax[r.axis] : roomMin[r.axis];
  if (std::fabs(r.position - wall) <= kContactTolerance) return 0.0;
  if (!(r.position > roomMin[r.axis] && r.position < roomMax[r.axis])) return 0.0;
  const int u = uAxis(r.axis);
  const int v = vAxis(r.axis);
  const double du = std::min(r.uHi, roomMax[u]) - std::max(r.uLo, roomMin[u]);
  const double dv = std::min(r.vHi, roomMax[v]) - std::max(r.vLo, roomMin[v]);
  return du > 0.0 && dv > 0.0 ? du * dv : 0.0;
}

[[noreturn]] void notFinite(const std::string& entry) {
  throw Error("Cannot compute the acoustics: " + entry +
              " has coordinates that are not finite numbers");
}

[[noreturn]] void tooLarge() {
  throw Error("Cannot compute the acoustics: the room is too large for its volume or area to be "
              "a finite number");
}

}  // namespace

bool hasRoomBox(const Reconstruction& room) {
  for (int a = 0; a < 3; ++a) {
    if (!(room.room.roomMin[a] <= room.room.roomMax[a])) return false;
  }
  return true;
}

RoomAcoustics computeRoomAcoustics(const Reconstruction& room, const MaterialTable& table,
                                   const AirConditions& air) {
  if (!hasRoomBox(room)) {
    throw Error("Cannot compute the acoustics: the reconstruction has no room box");
  }
  checkAirConditions(air);
  RoomAcoustics result;
  result.air = air;
  result.speedOfSound = speedOfSound(air.temperatureC);
  result.airAttenuation = airAttenuation(air);
  for (int a = 0; a < 3; ++a) {
    result.roomMin[a] = room.room.roomMin[a];
    result.roomMax[a] = room.room.roomMax[a];
  }
  if (!finite(result.roomMin) || !finite(result.roomMax)) notFinite("the room box");

  // The object boxes, one per object entry of the scene, as reconstructed.
  const std::vector<SceneEntry>& entries = room.scene.entries;
  std::vector<int> objectOfEntry(entries.size(), -1);
  for (std::size_t e = 0; e < entries.size(); ++e) {
    const SceneEntry& entry = entries[e];
    if (entry.kind != EntryKind::kObject) continue;
    if (entry.sourceIndex < 0 || static_cast<std::size_t>(entry.sourceIndex) >= room.cuboids.size()) {
      throw Error("Cannot compute the acoustics: " + entry.name + " has no box");
    }
    const Cuboid& box = room.cuboids[static_cast<std::size_t>(entry.sourceIndex)];
    AcousticObject object;
    object.entry = entry.name;
    object.category = entry.category;
    object.min = {box.minX, box.minY, box.minZ};
    object.max = {box.maxX, box.maxY, box.maxZ};
    if (!finite(object.min) || !finite(object.max)) notFinite(entry.name);
    objectOfEntry[e] = static_cast<int>(result.objects.size());
    result.objects.push_back(object);
  }

  std::vector<AlignedBox<3>> boxes;
  boxes.reserve(result.objects.size());
  for (const AcousticObject& object : result.objects) boxes.push_back(boxOf(object));
  AlignedBox<3> roomBox;
  for (int a = 0; a < 3; ++a) {
    roomBox.lo[a] = result.roomMin[a];
    roomBox.hi[a] = result.roomMax[a];
  }
  const double roomVolume = (roomBox.hi[0] - roomBox.lo[0]) * (roomBox.hi[1] - roomBox.lo[1]) *
                            (roomBox.hi[2] - roomBox.lo[2]);
  if (!std::isfinite(roomVolume)) tooLarge();
  result.volume = std::max(0.0, roomVolume - unionMeasure<3>(boxes, roomBox));

  Vec3 centre{};
  for (int a = 0; a < 3; ++a) centre[a] = 0.5 * (result.roomMin[a] + result.roomMax[a]);
  const MeshStore& mesh = room.rectangles.mesh;
  for (std::size_t e = 0; e < entries.size(); ++e) {
    const SceneEntry& entry = entries[e];
    const std::vector<const AcousticMaterial*> materials =
        acousticMaterialsOf(table, entry.category, entry.materials);
    const std::pair<BandValues, BandValues> coefficients = meanCoefficients(materials);
    for (int row = entry.firstRectangle; row <= entry.lastRectangle; ++row) {
      if (row < 0 || row >= static_cast<int>(mesh.faces.size())) {
        throw Error("Cannot compute the acoustics: " + entry.name + " has no rectangle " +
                    std::to_string(row + 1));
      }
      const std::array<Vec3, 4> corners = meshCorners(mesh, row);
      for (const Vec3& corner : corners) {
        if (!finite(corner)) notFinite(entry.name);
      }
      const PlaneRectangle r = planeRectangle(corners);
      AcousticSurface surface;
      surface.entry = entry.name;
      surface.category = entry.category;
      surface.object = entry.kind == EntryKind::kObject;
      surface.objectIndex = objectOfEntry[e];
      surface.materials = entry.materials;
      for (const AcousticMaterial* material : materials) {
        surface.acousticMaterials.push_back(material->name);
      }
      double sign = 1.0;
      if (surface.object) {
        const AcousticObject& object = result.objects[static_cast<std::size_t>(surface.objectIndex)];
        sign = r.position >= 0.5 * (object.min[r.axis] + object.max[r.axis]) ? 1.0 : -1.0;
      } else {
        sign = centre[r.axis] >= r.position ? 1.0 : -1.0;
      }
      surface.normal[r.axis] = sign;
      surface.corners = windingCorners(r, sign);
      surface.area = (r.uHi - r.uLo) * (r.vHi - r.vLo);
      surface.exposedArea = surface.object
                                ? exposedObjectArea(r, sign, result.roomMin, result.roomMax)
                                : exposedRoomArea(r, sign, result.objects);
      surface.absorption = coefficients.first;
      surface.scattering = coefficients.second;
      result.surfaceArea += surface.exposedArea;
      for (int b = 0; b < kBandCount; ++b) {
        result.equivalentAbsorptionArea[static_cast<std::size_t>(b)] +=
            surface.exposedArea * surface.absorption[static_cast<std::size_t>(b)];
      }
      result.surfaces.push_back(std::move(surface));
    }
  }

  for (int b = 0; b < kBandCount; ++b) {
    const std::size_t k = static_cast<std::size_t>(b);
    const double absorption = result.equivalentAbsorptionArea[k];
    result.meanAbsorption[k] = result.surfaceArea > 0.0 ? absorption / result.surfaceArea : 0.0;
    result.rt60Sabine[k] =
        sabineTime(result.volume, absorption, result.airAttenuation[k], result.speedOfSound);
    result.rt60Eyring[k] = eyringTime(result.volume, result.surfaceArea, result.meanAbsorption[k],
                                      result.airAttenuation[k], result.speedOfSound);
  }
  result.schroederFrequencyHz = schroederFrequency(result.rt60Eyring[3], result.volume);
  if (!std::isfinite(result.volume) || !std::isfinite(result.surfaceArea)) tooLarge();
  return result;
}

}  // namespace roombox
