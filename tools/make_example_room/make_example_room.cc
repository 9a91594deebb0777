// Writes the bundled example room: a plane info file (planes.txt) and the
// equirectangular panorama seen from the origin (shifted_t.png), both built
// from one furnished room model.
//
// Usage: make_example_room <output folder> [--width W] [--height H]
//                          [--rooms N] [--planes N] [--no-panorama] [--empty]
//                          [--noise N]
//
// With no option it writes the bundled example room (2048 x 1024 panorama).
// --width and --height set the panorama size. --rooms N tiles N copies of the
// furnished room on a grid inside one room boundary (walls, floor and ceiling
// around all of them), for large plane lists; --planes N tiles as many rooms
// as N planes need and cuts the list to exactly N planes. --no-panorama
// writes the plane info file only. The panorama is always ray cast from the
// single room at the origin; with --empty it shows the room without its
// furniture (the true colours of the walls and floor behind it), while the
// plane info file still lists the furniture. --noise N adds to every sample
// of the panorama a deterministic pseudo-random offset of -N to N levels, as
// sensor noise does to a camera's picture; its PNG is then about as large as
// a photograph's (tens of MB at 8192 x 4096 for a few levels).
//
// The model is a set of axis-aligned boxes. The plane info file lists the
// room's walls, floor and ceiling and, for every object, the box faces that a
// segmentation of the panorama would find: the faces that face the camera at
// the origin and are mostly visible from it, with small gaps where two faces
// of a box meet, plus a few duplicated pieces. The panorama is ray cast from
// the same boxes. The output is deterministic.

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kCubeResolution = 0.05;
constexpr int kDefaultPanoramaWidth = 2048;
constexpr int kDefaultPanoramaHeight = 1024;
// Black rows at the bottom of the panorama, per 1024 rows of height.
constexpr int kTripodRowsPer1024 = 40;

// Faces narrower than this on either in-plane axis are too thin to be found.
constexpr double kThinnestFace = 0.1 + 1e-9;
// Share of a face's sample points that must be visible for it to be found.
constexpr double kVisibleShare = 0.3;

// Room box: walls at x = -2.5 and 3.0, y = -2.0 and 2.5, floor and ceiling.
constexpr double kRoomMin[3] = {-2.5, -2.0, -1.4};
constexpr double kRoomMax[3] = {3.0, 2.5, 1.3};

// Material codes: bit k set means material k.
constexpr int kWood = 1 << 1;
constexpr int kPainted = 1 << 2;
constexpr int kPaper = 1 << 3;
constexpr int kGlass = 1 << 4;
constexpr int kMetal = 1 << 6;
constexpr int kFlat = 1 << 7;
constexpr int kPlastic = 1 << 8;
constexpr int kTextured = 1 << 9;
constexpr int kGlossy = 1 << 10;
constexpr int kShiny = 1 << 11;

struct Colour {
  double r;
  double g;
  double b;
};

// How a surface is textured in the panorama.
enum class Pattern { Plain, Wardrobe, Window, Screen, Stripes, Sunset, Books, Rug, Door };

struct Box {
  double lo[3];
  double hi[3];
};

// One box of an object. Render-only parts (thin table legs) are drawn in the
// panorama but too thin for the segmentation to find.
struct Part {
  Box box;
  bool segmented;
};

// A plane listed as found in addition to the box faces: a duplicated piece.
// Placed before the object's faces when first is true, after them otherwise.
struct ExtraPlane {
  int axis;
  double position;
  double uMin, uMax, vMin, vMax;
  bool first;
};

struct Object {
  const char* name;
  int category;
  int material;
  double gap;  // by how much later faces of a box stop short of earlier ones
  Colour colour;
  Pattern pattern;
  std::vector<Part> parts;
  std::vector<ExtraPlane> extras;
};

// One record of the plane info file.
struct PlaneRecord {
  int type;
  int axis;
  double position;
  double uMin, uMax, vMin, vMax;
  double normalSign;  // sign of the normal component as the segmentation found it
  int category;
  int material;
};

// First and second in-plane axes of a plane with the given normal axis:
// x -> (y, z), y -> (x, z), z -> (x, y).
int uAxisOf(int axis) { return axis == 0 ? 1 : 0; }
int vAxisOf(int axis) { return axis == 2 ? 1 : 2; }

Box makeBox(double x0, double x1, double y0, double y1, double z0, double z1) {
  return Box{{x0, y0, z0}, {x1, y1, z1}};
}

// The furnished room. Every box lies inside the room and away from the
// origin, and no face lies on a coordinate plane through the origin.
std::vector<Object> buildObjects() {
  std::vector<Object> objects;
  const double legZ0 = kRoomMin[2];

  objects.push_back({"bed", 1, kWood | kTextured, 0.1, {150, 45, 55}, Pattern::Plain,
                     {{makeBox(-2.5, -0.7, -2.0, -0.6, -1.4, -0.85), true}}, {}});
  objects.push_back({"headboard", 1, kWood, 0.05, {115, 78, 48}, Pattern::Plain,
                     {{makeBox(-2.5, -2.4, -2.0, -0.6, -0.85, -0.25), true}}, {}});
  objects.push_back({"nightstand", 6, kWood, 0.05, {140, 100, 62}, Pattern::Plain,
                     {{makeBox(-2.5, -2.05, -0.35, 0.1, -1.4, -0.85), true}}, {}});
  objects.push_back({"lamp", 7, kMetal | kPlastic, 0.05, {240, 215, 140}, Pattern::Plain,
                     {{makeBox(-2.35, -2.2, -0.2, -0.05, -0.85, -0.45), true}}, {}});
  objects.push_back({"sofa", 9, kTextured, 0.05, {70, 110, 155}, Pattern::Plain,
                     {{makeBox(-2.5, -1.65, 0.4, 1.6, -1.4, -0.95), true},
                      {makeBox(-2.5, -2.25, 0.4, 1.6, -0.95, -0.5), true}},
                     {}});
  // The wardrobe's left door was also found as a plane of its own, inside
  // the front: refinement switches it off.
  objects.push_back({"wardrobe", 6, kWood | kPainted, 0.05, {205, 185, 150}, Pattern::Wardrobe,
                     {{makeBox(-2.3, -1.1, 1.9, 2.5, -1.4, 0.7), true}},
                     {{1, 1.9, -2.0, -1.45, -0.9, 0.35, true}}});
  // The table top was found twice: once whole and once its right part.
  Object table{"table", 10, kWood | kGlossy, 0.05, {175, 125, 75}, Pattern::Plain,
               {{makeBox(0.8, 1.9, -1.5, -0.7, -0.7, -0.65), true}},
               {{2, -0.65, 1.3, 1.9, -1.5, -0.7, false}}};
  const double legX[2] = {0.85, 1.8};
  const double legY[2] = {-1.45, -0.8};
  for (double x : legX) {
    for (double y : legY) {
      table.parts.push_back({makeBox(x, x + 0.05, y, y + 0.05, legZ0, -0.7), false});
    }
  }
  objects.push_back(table);
  objects.push_back({"chair at the table's far end", 4, kWood, 0.05, {60, 125, 75},
                     Pattern::Plain,
                     {{makeBox(2.0, 2.45, -1.35, -0.85, -1.4, -0.95), true},
                      {makeBox(2.4, 2.45, -1.35, -0.85, -0.95, -0.35), true}},
                     {}});
  objects.push_back({"chair behind the table", 4, kWood, 0.05, {60, 125, 75}, Pattern::Plain,
                     {{makeBox(1.1, 1.55, -1.95, -1.55, -1.4, -0.95), true},
                      {makeBox(1.1, 1.55, -2.0, -1.95, -0.95, -0.35), true}},
                     {}});
  objects.push_back({"chair at the table's near end", 4, kPlastic, 0.05, {205, 160, 60},
                     Pattern::Plain,
                     {{makeBox(0.25, 0.7, -1.35, -0.85, -1.4, -0.95), true},
                      {makeBox(0.25, 0.3, -1.35, -0.85, -0.95, -0.35), true}},
                     {}});
  objects.push_back({"picture above the bed", 8, kPaper | kGlossy, 0.05, {230, 120, 60},
                     Pattern::Stripes, {{makeBox(-2.5, -2.45, -1.8, -0.8, 0.0, 0.7), true}}, {}});
  objects.push_back({"picture above the table", 8, kPaper, 0.05, {240, 150, 80}, Pattern::Sunset,
                     {{makeBox(0.9, 1.7, -2.0, -1.95, 0.1, 0.7), true}}, {}});
  objects.push_back({"window", 14, kGlass | kMetal, 0.05, {175, 215, 245}, Pattern::Window,
                     {{makeBox(0.3, 1.7, 2.45, 2.5, -0.5, 0.9), true}}, {}});
  objects.push_back({"TV", 11, kGlass | kPlastic | kShiny, 0.05, {28, 28, 36}, Pattern::Screen,
                     {{makeBox(2.9, 3.0, 0.4, 1.6, -0.3, 0.4), true}}, {}});
  objects.push_back({"TV stand", 6, kWood, 0.05, {95, 72, 60}, Pattern::Plain,
                     {{makeBox(2.5, 3.0, 0.3, 1.7, -1.4, -0.9), true}}, {}});
  objects.push_back({"bookshelf", 6, kWood, 0.05, {135, 92, 55}, Pattern::Plain,
                     {{makeBox(2.6, 3.0, 2.05, 2.5, -1.4, 0.6), true}}, {}});
  objects.push_back({"books", 2, kPaper, 0.05, {180, 60, 60}, Pattern::Books,
                     {{makeBox(2.7, 2.95, 2.1, 2.45, 0.6, 0.85), true}}, {}});
  objects.push_back({"rug", 7, kTextured, 0.05, {165, 55, 50}, Pattern::Rug,
                     {{makeBox(-0.3, 1.0, 0.3, 1.6, -1.4, -1.35), true}}, {}});
  objects.push_back({"ceiling light", 7, kGlass | kMetal, 0.05, {252, 250, 225}, Pattern::Plain,
                     {{makeBox(0.2, 0.6, 0.2, 0.6, 1.2, 1.3), true}}, {}});
  objects.push_back({"door", 12, kWood | kPainted, 0.05, {165, 125, 85}, Pattern::Door,
                     {{makeBox(2.95, 3.0, -1.95, -1.05, -1.4, 0.7), true}}, {}});
  return objects;
}

// Distance along direction (scaled so that 1 reaches the end point) at which
// a ray from the origin enters box, or a negative value when it misses.
// Also returns the axis of the entered face.
double enterBox(const Box& box, const double direction[3], int& axis) {
  double enter = -1e300;
  double leave = 1e300;
  axis = -1;
  for (int a = 0; a < 3; ++a) {
    if (direction[a] == 0.0) {
      if (box.lo[a] > 0.0 || box.hi[a] < 0.0) return -1.0;
      continue;
    }
    double t0 = box.lo[a] / direction[a];
    double t1 = box.hi[a] / direction[a];
    if (t0 > t1) std::swap(t0, t1);
    if (t0 > enter) {
      enter = t0;
      axis = a;
    }
    leave = std::min(leave, t1);
  }
  if (axis < 0 || enter > leave || enter <= 0.0) return -1.0;
  return enter;
}

// Nearest object box hit by the ray from the origin along direction: its
// object and part index and the axis of the face, or object -1.
double nearestObjectHit(const std::vector<Object>& objects, const double direction[3],
                        int& objectIndex, int& partIndex, int& axis) {
  double nearest = 1e300;
  objectIndex = -1;
  for (std::size_t o = 0; o < objects.size(); ++o) {
    for (std::size_t p = 0; p < objects[o].parts.size(); ++p) {
      int hitAxis = -1;
      const double t = enterBox(objects[o].parts[p].box, direction, hitAxis);
      if (t > 0.0 && t < nearest) {
        nearest = t;
        objectIndex = static_cast<int>(o);
        partIndex = static_cast<int>(p);
        axis = hitAxis;
      }
    }
  }
  return nearest;
}

// Share of sample points of a face (normal axis, position, rectangle) that
// the origin sees: no box is hit before the point is reached.
double visibleShare(const std::vector<Object>& objects, int axis, double position, double uMin,
                    double uMax, double vMin, double vMax) {
  const int samples = 12;
  int seen = 0;
  for (int i = 0; i < samples; ++i) {
    for (int j = 0; j < samples; ++j) {
      double point[3];
      point[axis] = position;
      point[uAxisOf(axis)] = uMin + (uMax - uMin) * (i + 0.5) / samples;
      point[vAxisOf(axis)] = vMin + (vMax - vMin) * (j + 0.5) / samples;
      int o = -1;
      int p = -1;
      int a = -1;
      const double t = nearestObjectHit(objects, point, o, p, a);
      if (o < 0 || t >= 1.0 - 1e-9) ++seen;
    }
  }
  return static_cast<double>(seen) / (samples * samples);
}

int planeTypeOfObjectAxis(int axis) { return axis + 1; }

// Appends the found faces of one box: the faces that face the origin, are
// not too thin and are mostly visible, the horizontal face first and then by
// area. A face stops `gap` short of every face of the box listed before it.
void appendBoxFaces(const std::vector<Object>& objects, const Object& object, const Box& box,
                    std::vector<PlaneRecord>& records) {
  struct Face {
    int axis;
    int side;  // 0: at box.lo, 1: at box.hi
    double area;
  };
  std::vector<Face> faces;
  for (int axis = 0; axis < 3; ++axis) {
    int side = -1;
    if (box.lo[axis] > 0.0) side = 0;
    if (box.hi[axis] < 0.0) side = 1;
    if (side < 0) continue;
    const int u = uAxisOf(axis);
    const int v = vAxisOf(axis);
    const double uExtent = box.hi[u] - box.lo[u];
    const double vExtent = box.hi[v] - box.lo[v];
    if (uExtent < kThinnestFace || vExtent < kThinnestFace) continue;
    const double position = side == 0 ? box.lo[axis] : box.hi[axis];
    if (visibleShare(objects, axis, position, box.lo[u], box.hi[u], box.lo[v], box.hi[v]) <
        kVisibleShare) {
      continue;
    }
    faces.push_back({axis, side, uExtent * vExtent});
  }
  std::stable_sort(faces.begin(), faces.end(), [](const Face& a, const Face& b) {
    if ((a.axis == 2) != (b.axis == 2)) return a.axis == 2;
    return a.area > b.area;
  });

  for (std::size_t k = 0; k < faces.size(); ++k) {
    const Face& face = faces[k];
    const int u = uAxisOf(face.axis);
    const int v = vAxisOf(face.axis);
    double bounds[2][2] = {{box.lo[u], box.hi[u]}, {box.lo[v], box.hi[v]}};
    const int inPlane[2] = {u, v};
    for (int e = 0; e < 2; ++e) {
      for (std::size_t earlier = 0; earlier < k; ++earlier) {
        if (faces[earlier].axis != inPlane[e]) continue;
        if (faces[earlier].side == 0) bounds[e][0] += object.gap;
        if (faces[earlier].side == 1) bounds[e][1] -= object.gap;
      }
    }
    const double position = face.side == 0 ? box.lo[face.axis] : box.hi[face.axis];
    // The segmentation found the normal pointing out of the box.
    const double outward = face.side == 0 ? -1.0 : 1.0;
    records.push_back({planeTypeOfObjectAxis(face.axis), face.axis, position, bounds[0][0],
                       bounds[0][1], bounds[1][0], bounds[1][1], outward, object.category,
                       object.material});
  }
}

PlaneRecord extraRecord(const Object& object, const ExtraPlane& extra) {
  return {planeTypeOfObjectAxis(extra.axis), extra.axis, extra.position, extra.uMin, extra.uMax,
          extra.vMin, extra.vMax, extra.position > 0.0 ? -1.0 : 1.0, object.category,
          object.material};
}

// Walls, floor and ceiling, each a full rectangle of the box lo..hi; the
// normal signs are as the segmentation found them (some point out of the
// room).
std::vector<PlaneRecord> roomRecords(const double lo[3], const double hi[3]) {
  const int wallMaterial = kPainted | kFlat;
  return {
      {7, 0, lo[0], lo[1], hi[1], lo[2], hi[2], 1.0, 13, wallMaterial},
      {7, 0, hi[0], lo[1], hi[1], lo[2], hi[2], 1.0, 13, wallMaterial},
      {9, 1, lo[1], lo[0], hi[0], lo[2], hi[2], -1.0, 13, wallMaterial},
      {9, 1, hi[1], lo[0], hi[0], lo[2], hi[2], -1.0, 13, wallMaterial},
      {8, 2, lo[2], lo[0], hi[0], lo[1], hi[1], 1.0, 5, kWood | kGlossy},
      {8, 2, hi[2], lo[0], hi[0], lo[1], hi[1], 1.0, 3, wallMaterial},
  };
}

// The object planes of the room model, in file order: each object's
// duplicated pieces that come first, its box faces, and the rest.
std::vector<PlaneRecord> buildObjectRecords(const std::vector<Object>& objects) {
  std::vector<PlaneRecord> records;
  for (const Object& object : objects) {
    for (const ExtraPlane& extra : object.extras) {
      if (extra.first) records.push_back(extraRecord(object, extra));
    }
    for (const Part& part : object.parts) {
      if (part.segmented) appendBoxFaces(objects, object, part.box, records);
    }
    for (const ExtraPlane& extra : object.extras) {
      if (!extra.first) records.push_back(extraRecord(object, extra));
    }
  }
  return records;
}

// A plane record moved by (dx, dy) in x and y.
PlaneRecord shifted(PlaneRecord r, double dx, double dy) {
  const double shift[3] = {dx, dy, 0.0};
  r.position += shift[r.axis];
  r.uMin += shift[uAxisOf(r.axis)];
  r.uMax += shift[uAxisOf(r.axis)];
  r.vMin += shift[vAxisOf(r.axis)];
  r.vMax += shift[vAxisOf(r.axis)];
  return r;
}

// Every plane of the plane info file, in file order: the room boundary, then
// the object planes of `rooms` copies of the room on a grid of columns along
// x and rows along y, wall to wall, with the copy at the origin (the only one
// for a single room) unshifted. With maxPlanes >= 0 the list is cut there.
std::vector<PlaneRecord> buildPlaneRecords(const std::vector<Object>& objects, int rooms,
                                           long long maxPlanes) {
  const std::vector<PlaneRecord> room = buildObjectRecords(objects);
  int columns = 1;
  while (static_cast<long long>(columns) * columns < rooms) ++columns;
  const int rows = (rooms + columns - 1) / columns;
  const double pitch[2] = {kRoomMax[0] - kRoomMin[0], kRoomMax[1] - kRoomMin[1]};
  const int firstColumn = -(columns - 1) / 2;
  const int firstRow = -(rows - 1) / 2;

  double lo[3] = {kRoomMin[0] + firstColumn * pitch[0], kRoomMin[1] + firstRow * pitch[1],
                  kRoomMin[2]};
  double hi[3] = {kRoomMax[0] + (firstColumn + columns - 1) * pitch[0],
                  kRoomMax[1] + (firstRow + rows - 1) * pitch[1], kRoomMax[2]};
  std::vector<PlaneRecord> records = roomRecords(lo, hi);
  for (int k = 0; k < rooms; ++k) {
    const double dx = (firstColumn + k % columns) * pitch[0];
    const double dy = (firstRow + k / columns) * pitch[1];
    for (const PlaneRecord& r : room) records.push_back(shifted(r, dx, dy));
  }
  if (maxPlanes >= 0 && static_cast<long long>(records.size()) > maxPlanes) {
    records.resize(static_cast<std::size_t>(maxPlanes));
  }
  return records;
}

// Prints a coordinate with up to six significant digits and never as "-0".
void printNumber(FILE* file, double value) {
  const double rounded = std::round(value * 1e6) / 1e6;
  std::fprintf(file, "%.6g", rounded == 0.0 ? 0.0 : rounded);
}

bool writePlaneFile(const std::string& path, const std::vector<PlaneRecord>& records) {
  FILE* file = std::fopen(path.c_str(), "w");
  if (file == nullptr) return false;
  std::fprintf(file, "%d %.2f\n", static_cast<int>(records.size()), kCubeResolution);
  for (std::size_t i = 0; i < records.size(); ++i) {
    const PlaneRecord& r = records[i];
    const int u = uAxisOf(r.axis);
    const int v = vAxisOf(r.axis);
    double centre[3];
    centre[r.axis] = r.position;
    centre[u] = (r.uMin + r.uMax) / 2.0;
    centre[v] = (r.vMin + r.vMax) / 2.0;
    // Every third plane was found with its normal the other way round.
    const double sign = i % 3 == 2 ? -r.normalSign : r.normalSign;
    double normal[3] = {0.0, 0.0, 0.0};
    normal[r.axis] = sign;
    const double d = -sign * r.position;
    const double numbers[16] = {1.0,       static_cast<double>(r.type),
                                r.position, r.uMin,
                                r.uMax,    r.vMin,
                                r.vMax,    centre[0],
                                centre[1], centre[2],
                                normal[0], normal[1],
                                normal[2], d,
                                static_cast<double>(r.category), static_cast<double>(r.material)};
    for (int n = 0; n < 16; ++n) {
      if (n > 0) std::fputc(' ', file);
      printNumber(file, numbers[n]);
    }
    std::fputc('\n', file);
  }
  const bool failed = std::ferror(file) != 0;
  return std::fclose(file) == 0 && !failed;
}

Colour scale(const Colour& c, double f) { return {c.r * f, c.g * f, c.b * f}; }

// True within `width` of a multiple of `step`.
bool nearGridLine(double value, double step, double width) {
  const double offset = value - step * std::floor(value / step);
  return offset < width || offset > step - width;
}

// Colour of a wall, the floor or the ceiling at point, hit across axis.
Colour roomColour(int axis, bool atUpper, const double point[3]) {
  const int u = uAxisOf(axis);
  const int v = vAxisOf(axis);
  if (axis == 2 && !atUpper) {
    // Wooden floor: planks along x with grid lines every 0.5.
    Colour wood{165, 120, 80};
    const int plank = static_cast<int>(std::floor(point[1] / 0.15));
    wood = scale(wood, 0.92 + 0.04 * ((plank * 7) % 3));
    if (nearGridLine(point[0], 0.5, 0.012) || nearGridLine(point[1], 0.5, 0.012)) {
      wood = {95, 62, 40};
    }
    return wood;
  }
  if (axis == 2) {
    Colour ceiling{240, 238, 228};
    if (nearGridLine(point[0], 1.0, 0.01) || nearGridLine(point[1], 1.0, 0.01)) {
      ceiling = {205, 203, 195};
    }
    return ceiling;
  }
  // Each wall has its own colour, with a checker of 0.5 squares.
  static const Colour walls[2][2] = {{{190, 212, 185}, {232, 202, 170}},
                                     {{180, 196, 222}, {212, 190, 222}}};
  const Colour base = walls[axis][atUpper ? 1 : 0];
  const int cu = static_cast<int>(std::floor(point[u] / 0.5));
  const int cv = static_cast<int>(std::floor(point[v] / 0.5));
  return (cu + cv) % 2 == 0 ? base : scale(base, 0.9);
}

// Colour of an object's box face at point: the object's colour and pattern,
// darkened near the box edges.
Colour objectColour(const Object& object, const Box& box, int axis, const double point[3]) {
  const int u = uAxisOf(axis);
  const int v = vAxisOf(axis);
  const double su = (point[u] - box.lo[u]) / (box.hi[u] - box.lo[u]);
  const double sv = (point[v] - box.lo[v]) / (box.hi[v] - box.lo[v]);
  const bool front = axis != 2 && std::min(box.hi[u] - box.lo[u], box.hi[v] - box.lo[v]) > 0.3;
  Colour c = object.colour;
  switch (object.pattern) {
    case Pattern::Plain:
      break;
    case Pattern::Wardrobe:
      if (front && (std::fabs(su - 0.5) < 0.006 || std::fabs(sv - 0.75) < 0.004)) {
        c = {120, 100, 80};
      }
      break;
    case Pattern::Window:
      if (std::fabs(su - 0.5) < 0.02 || std::fabs(sv - 0.5) < 0.015 || su < 0.04 || su > 0.96 ||
          sv < 0.04 || sv > 0.96) {
        c = {245, 245, 245};
      } else {
        c = {150 + 60 * sv, 195 + 40 * sv, 245};
      }
      break;
    case Pattern::Screen:
      if (front && (su < 0.03 || su > 0.97 || sv < 0.05 || sv > 0.95)) c = {55, 55, 60};
      break;
    case Pattern::Stripes: {
      static const Colour stripes[4] = {{230, 120, 60}, {60, 140, 200}, {240, 210, 80},
                                        {120, 180, 90}};
      c = stripes[std::min(3, static_cast<int>(su * 4.0))];
      if (su < 0.05 || su > 0.95 || sv < 0.06 || sv > 0.94) c = {70, 50, 35};
      break;
    }
    case Pattern::Sunset:
      c = {250 - 40 * sv, 120 + 100 * sv, 80 + 150 * sv};
      if (sv < 0.3) c = {40, 90 + 60 * sv, 60};
      if (su < 0.05 || su > 0.95 || sv < 0.06 || sv > 0.94) c = {70, 50, 35};
      break;
    case Pattern::Books: {
      static const Colour spines[5] = {{180, 60, 60}, {50, 90, 160}, {220, 190, 90},
                                       {60, 130, 80}, {140, 70, 140}};
      c = spines[std::min(4, static_cast<int>(su * 9.0)) % 5];
      break;
    }
    case Pattern::Rug:
      if (su < 0.08 || su > 0.92 || sv < 0.08 || sv > 0.92) {
        c = {225, 200, 150};
      } else if (static_cast<int>(std::floor(su * 8) + std::floor(sv * 8)) % 2 == 0) {
        c = {140, 45, 45};
      }
      break;
    case Pattern::Door:
      if (front && std::fabs(su - 0.85) < 0.05 && std::fabs(sv - 0.45) < 0.01) c = {200, 200, 205};
      break;
  }
  const double edge = 0.012;
  const double du = std::min(point[u] - box.lo[u], box.hi[u] - point[u]);
  const double dv = std::min(point[v] - box.lo[v], box.hi[v] - point[v]);
  if (du < edge || dv < edge) c = scale(c, 0.65);
  return c;
}

// Light falling on a face across axis, seen at distance t: tops brightest.
double shading(int axis, double distance) {
  const double faceLight[3] = {0.82, 0.92, 1.0};
  return faceLight[axis] / (1.0 + 0.04 * distance);
}

unsigned char toByte(double value) {
  // Only the tripod band is pure black: every channel elsewhere is at least 1.
  return static_cast<unsigned char>(std::clamp(std::lround(value), 1L, 255L));
}

// A deterministic pseudo-random offset of -amplitude to amplitude levels for
// the sample at (row, col, channel): a hash of the three, so that the picture
// does not depend on the order the samples are made in.
int noiseAt(int row, int col, int channel, int amplitude) {
  std::uint64_t h = (static_cast<std::uint64_t>(row) << 32) ^
                    (static_cast<std::uint64_t>(col) << 2) ^ static_cast<std::uint64_t>(channel);
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdULL;
  h ^= h >> 33;
  h *= 0xc4ceb9fe1a85ec53ULL;
  h ^= h >> 33;
  return static_cast<int>(h % static_cast<std::uint64_t>(2 * amplitude + 1)) - amplitude;
}

cv::Mat renderPanorama(const std::vector<Object>& objects, int width, int height, int noise) {
  cv::Mat image(height, width, CV_8UC3, cv::Scalar(0, 0, 0));
  const int tripodRows = static_cast<int>(static_cast<long long>(height) * kTripodRowsPer1024 / 1024);
  for (int row = 0; row < height - tripodRows; ++row) {
    const double theta = (row + 0.5) / height * kPi;
    for (int col = 0; col < width; ++col) {
      const double phi = (col + 0.5) / width * 2.0 * kPi;
      const double direction[3] = {std::sin(theta) * std::cos(phi),
                                   -std::sin(theta) * std::sin(phi), std::cos(theta)};
      // The room box is left where the ray reaches its nearest bound.
      double wallT = 1e300;
      int wallAxis = 0;
      for (int a = 0; a < 3; ++a) {
        if (direction[a] == 0.0) continue;
        const double t = (direction[a] > 0.0 ? kRoomMax[a] : kRoomMin[a]) / direction[a];
        if (t < wallT) {
          wallT = t;
          wallAxis = a;
        }
      }
      int objectIndex = -1;
      int partIndex = -1;
      int objectAxis = -1;
      const double objectT =
          nearestObjectHit(objects, direction, objectIndex, partIndex, objectAxis);
      Colour colour;
      double distance;
      int axis;
      double point[3];
      if (objectIndex >= 0 && objectT < wallT) {
        distance = objectT;
        axis = objectAxis;
        for (int a = 0; a < 3; ++a) point[a] = direction[a] * distance;
        const Object& object = objects[objectIndex];
        colour = objectColour(object, object.parts[partIndex].box, axis, point);
      } else {
        distance = wallT;
        axis = wallAxis;
        for (int a = 0; a < 3; ++a) point[a] = direction[a] * distance;
        colour = roomColour(axis, direction[axis] > 0.0, point);
      }
      const double light = shading(axis, distance);
      cv::Vec3b& pixel = image.at<cv::Vec3b>(row, col);
      const double samples[3] = {colour.b * light, colour.g * light, colour.r * light};
      for (int c = 0; c < 3; ++c) {
        const double offset = noise > 0 ? noiseAt(row, col, c, noise) : 0;
        pixel[c] = toByte(std::lround(samples[c]) + offset);
      }
    }
  }
  return image;
}

// Reads a whole number of at least `least` from text; false when it is not
// one.
bool parseCount(const char* text, long long least, long long& value) {
  char* end = nullptr;
  errno = 0;
  value = std::strtoll(text, &end, 10);
  return end != text && *end == '\0' && errno == 0 && value >= least && value <= 100000000;
}

void printUsage(const char* program) {
  std::printf(
      "Usage: %s <output folder> [--width W] [--height H] [--rooms N] [--planes N] "
      "[--no-panorama] [--empty] [--noise N]\n",
      program);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    printUsage(argv[0]);
    return 2;
  }
  std::string folder = argv[1];
  if (!folder.empty() && folder.back() != '/') folder += '/';

  long long width = kDefaultPanoramaWidth;
  long long height = kDefaultPanoramaHeight;
  long long rooms = 1;
  long long maxPlanes = -1;
  bool panorama = true;
  bool empty = false;
  long long noise = 0;
  for (int i = 2; i < argc; ++i) {
    const std::string option = argv[i];
    bool valid = true;
    if (option == "--no-panorama") {
      panorama = false;
    } else if (option == "--empty") {
      empty = true;
    } else if (i + 1 >= argc) {
      valid = false;
    } else if (option == "--width") {
      valid = parseCount(argv[++i], 2, width) && width <= 65535;
    } else if (option == "--height") {
      valid = parseCount(argv[++i], 2, height) && height <= 65535;
    } else if (option == "--rooms") {
      valid = parseCount(argv[++i], 1, rooms);
    } else if (option == "--planes") {
      valid = parseCount(argv[++i], 6, maxPlanes);
    } else if (option == "--noise") {
      valid = parseCount(argv[++i], 0, noise) && noise <= 64;
    } else {
      valid = false;
    }
    if (!valid) {
      printUsage(argv[0]);
      return 2;
    }
  }

  const std::vector<Object> objects = buildObjects();
  if (maxPlanes >= 0) {
    // Enough rooms for the requested number of planes.
    const long long perRoom = static_cast<long long>(buildObjectRecords(objects).size());
    rooms = std::max(1LL, (maxPlanes - 6 + perRoom - 1) / perRoom);
  }
  const std::vector<PlaneRecord> records =
      buildPlaneRecords(objects, static_cast<int>(rooms), maxPlanes);
  const std::string planePath = folder + "planes.txt";
  if (!writePlaneFile(planePath, records)) {
    std::printf("Cannot write %s\n", planePath.c_str());
    return 2;
  }
  if (!panorama) {
    std::printf("Wrote %s (%d planes)\n", planePath.c_str(), static_cast<int>(records.size()));
    return 0;
  }
  const std::string panoramaPath = folder + "shifted_t.png";
  if (!cv::imwrite(panoramaPath,
                   renderPanorama(empty ? std::vector<Object>{} : objects, static_cast<int>(width),
                                  static_cast<int>(height), static_cast<int>(noise)))) {
    std::printf("Cannot write %s\n", panoramaPath.c_str());
    return 2;
  }
  std::printf("Wrote %s (%d planes) and %s\n", planePath.c_str(),
              static_cast<int>(records.size()), panoramaPath.c_str());
  return 0;
}
