#pragma once

#include "roombox/room_acoustics.h"

#include <array>
#include <vector>

namespace roombox {

// What a reflection does to each band: the surface's absorption and
// scattering coefficients.
struct ReflectionMaterial {
  BandValues absorption{};
  BandValues scattering{};
  BandValues logReflection{};   // ln(1 - absorption): what a reflection leaves of the energy
  double meanScattering = 0.0;  // over the bands
};

// One axis-aligned box face: axis 0..2, side 0 (the low face) or 1.
inline int faceIndex(int axis, int side) { return 2 * axis + side; }

// The room box and the object boxes with the material of each of their
// faces, in the form the image sources and the rays read.
struct ReflectingBoxes {
  Vec3 roomMin{};
  Vec3 roomMax{};
  std::vector<Vec3> objectMin;
  std::vector<Vec3> objectMax;
  // The room surfaces on each of the six room-box faces, with their
  // rectangles' bounds, and a material for points no surface covers.
  struct FacePatch {
    Vec3 min{};
    Vec3 max{};
    ReflectionMaterial material;
  };
  std::array<std::vector<FacePatch>, 6> roomPatches;
  std::array<ReflectionMaterial, 6> roomFallback;
  std::vector<std::array<ReflectionMaterial, 6>> objectFaces;  // per object box
  // A uniform grid over the room box listing the object boxes that overlap
  // each cell (cell k's boxes are cellBoxes[cellStart[k] .. cellStart[k+1])),
  // so that a ray tests the boxes along its way only. Empty for few boxes.
  std::array<int, 3> cells{};
  std::vector<int> cellStart;
  std::vector<int> cellBoxes;
};

// Gathers the boxes and the materials of room from its surfaces. A room face
// point takes the first room surface in its plane (within 1 mm) whose
// rectangle holds it, else the area-weighted mean of that face's surfaces,
// else of every room surface. An object face takes its surface, else the
// mean of its box's surfaces, else the room's mean.
ReflectingBoxes gatherReflectingBoxes(const RoomAcoustics& room);

// The material of the room face (axis, side) at point p on it.
const ReflectionMaterial& roomMaterialAt(const ReflectingBoxes& boxes, int axis, int side,
                                         const Vec3& p);

// Whether the segment from a to b passes through the inside of an object box
// (touching a box's surface does not count).
bool segmentBlocked(const ReflectingBoxes& boxes, const Vec3& a, const Vec3& b);

// Where a ray from origin along direction (unit) first meets an object box
// from outside, as the distance and the face (axis, side) it enters by;
// false when it meets none within maxDistance.
bool firstObjectHit(const ReflectingBoxes& boxes, const Vec3& origin, const Vec3& direction,
                    double maxDistance, double& distance, int& object, int& axis, int& side);

}  // namespace roombox
