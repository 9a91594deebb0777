#pragma once

// Hand-built acoustic models: shoebox rooms with uniform surfaces, and
// object boxes in them, as the impulse response tests need them.
#include "roombox/room_acoustics.h"

#include <string>

namespace roombox {

// The face (axis, side) of box [lo, hi] as a surface whose normal is
// `sign` along the axis, with its corners counter-clockwise seen from there.
inline AcousticSurface boxFace(const Vec3& lo, const Vec3& hi, int axis, int side, double sign,
                               const BandValues& absorption, const BandValues& scattering) {
  AcousticSurface surface;
  surface.normal[axis] = sign;
  const int u = (axis + 1) % 3;
  const int v = (axis + 2) % 3;
  const double level = side ? hi[axis] : lo[axis];
  const double us[4] = {lo[u], hi[u], hi[u], lo[u]};
  const double vs[4] = {lo[v], lo[v], hi[v], hi[v]};
  for (int k = 0; k < 4; ++k) {
    const int corner = sign > 0 ? k : 3 - k;
    surface.corners[corner][axis] = level;
    surface.corners[corner][u] = us[k];
    surface.corners[corner][v] = vs[k];
  }
  surface.area = (hi[u] - lo[u]) * (hi[v] - lo[v]);
  surface.exposedArea = surface.area;
  surface.absorption = absorption;
  surface.scattering = scattering;
  return surface;
}

// A room [0, size] with the same absorption and scattering on its six
// faces, air that absorbs `air` per band, and sound at `c` m/s.
inline RoomAcoustics shoebox(const Vec3& size, const BandValues& absorption,
                             const BandValues& scattering, const BandValues& air = {},
                             double c = 343.0) {
  RoomAcoustics room;
  room.speedOfSound = c;
  room.airAttenuation = air;
  room.roomMax = size;
  for (int axis = 0; axis < 3; ++axis) {
    for (int side = 0; side < 2; ++side) {
      AcousticSurface surface = boxFace(room.roomMin, room.roomMax, axis, side,
                                        side ? -1.0 : 1.0, absorption, scattering);
      surface.entry = "Wall_" + std::to_string(2 * axis + side + 1);
      room.surfaces.push_back(surface);
    }
  }
  return room;
}

// Adds the object box [lo, hi] with its six faces.
inline void addObject(RoomAcoustics& room, const Vec3& lo, const Vec3& hi,
                      const BandValues& absorption, const BandValues& scattering) {
  AcousticObject object;
  object.entry = "Box_" + std::to_string(room.objects.size() + 1);
  object.min = lo;
  object.max = hi;
  room.objects.push_back(object);
  for (int axis = 0; axis < 3; ++axis) {
    for (int side = 0; side < 2; ++side) {
      AcousticSurface surface =
          boxFace(lo, hi, axis, side, side ? 1.0 : -1.0, absorption, scattering);
      surface.entry = object.entry;
      surface.object = true;
      surface.objectIndex = int(room.objects.size()) - 1;
      room.surfaces.push_back(surface);
    }
  }
}

inline BandValues uniformBands(double value) {
  BandValues values;
  values.fill(value);
  return values;
}

}  // namespace roombox
