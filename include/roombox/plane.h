#pragma once

#include <vector>

namespace roombox {

// One axis-aligned planar segment of the room, as read from a plane info file.
// Twelve 32-bit floats in file order. Integer codes (type, category, material)
// travel as floats and are compared as floats or truncated toward zero.
//
// type 1/2/3: object plane with normal x/y/z; 4/5/6: like 1/2/3 for the view
// transform only; 7: wall with normal x; 9: wall with normal y; 8: floor
// (position <= 0) or ceiling (position > 0), normal z.
// In-plane axes: normal x -> u = y, v = z; normal y -> u = x, v = z;
// normal z -> u = x, v = y.
struct Plane {
  float active;
  float type;
  float position;
  float uMin;
  float uMax;
  float vMin;
  float vMax;
  float centreX;
  float centreY;
  float centreZ;
  float category;
  float material;
};

// The plane a*x + b*y + c*z + d = 0 with an axis-aligned unit normal.
struct PlaneEquation {
  float a;
  float b;
  float c;
  float d;
};

// Slots for extra views: the per-view fields of PlaneList and ViewConfig.
constexpr int kViewSlots = 4;

// The planes of one run: the main plane info file's planes, then those of
// every extra view, with one equation and one source per plane (planes,
// equations and planeSource always have the same size).
struct PlaneList {
  float cubeResolution = 0.0f;  // grid step, from the main file's header
  std::vector<Plane> planes;
  std::vector<PlaneEquation> equations;
  std::vector<int> planeSource;  // 0 main file, k + 1 extra view k

  // Per extra view: its plane count, its file's cube resolution and the
  // index of its first plane. Only views below the configured count are set.
  int viewPlaneCounts[kViewSlots] = {};
  float viewResolutions[kViewSlots] = {};
  int viewFirstPlane[kViewSlots] = {};
};

// The most planes a run accepts: every count derived from them (8 mesh
// vertices per box, 6 rectangles per box) then fits in an int.
constexpr int kMaxPlanes = 0x7fffffff / 8;

}  // namespace roombox
