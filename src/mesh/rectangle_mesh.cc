#include "mesh/rectangle_mesh.h"

#include "common/pi.h"
#include "common/plane_types.h"
#include "mesh/number_format.h"
#include "roombox/categories.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>

namespace roombox {

namespace {

// Converts a non-negative pixel position to an index below size. NaN and
// negative positions give 0, positions at or past size give size - 1; the
// value is compared before it is converted, so no out-of-range value reaches
// the integer conversion.
int clampToIndex(double position, int size) {
  if (!(position >= 0.0) || size <= 0) return 0;
  if (position >= static_cast<double>(size)) return size - 1;
  return static_cast<int>(position);
}

}  // namespace

PanoramaPixel mapToPanorama(float x, float y, float z, int width, int height) {
  if (width <= 0 || height <= 0) return PanoramaPixel{0, 0};

  // The angles are held in float; the math functions are the double ones
  // applied to the float values.
  const float r = static_cast<float>(std::sqrt(static_cast<double>(x * x + y * y + z * z)));

  // Where x = 0 the azimuth is one of two fixed values, so y / x is only
  // computed for a nonzero x (0 / 0 never happens on the z axis).
  float phi = 0.0f;
  if (x == 0) {
    phi = y <= 0 ? 1.5707964f : 4.712389f;
  } else {
    phi = static_cast<float>(kPi - std::atan(static_cast<double>(y / x)));
    if (x > 0 && y < 0) phi = static_cast<float>(phi - kPi);
    if (x > 0 && y > 0) phi = static_cast<float>(phi + kPi);
  }
  if (y == 0 && x > 0) phi = 0.0f;

  const float rowStep = static_cast<float>((1.0f / static_cast<float>(height)) * kPi);
  const float colStep = static_cast<float>((2.0f / static_cast<float>(width)) * kPi);
  // A point at the origin (r = 0, also after underflow) has no polar angle
  // and takes row 0; z / r is not computed for it.
  double row = 0.0;
  if (r > 0) {
    const float theta = static_cast<float>(std::acos(static_cast<double>(z / r)));
    row = std::floor(static_cast<double>(theta / rowStep) + 0.5);
  }
  const double col = std::floor(static_cast<double>(phi / colStep) + 0.5);
  return PanoramaPixel{clampToIndex(row, height), clampToIndex(col, width)};
}

void decodeMaterials(float material, int out[12]) {
  const int code = truncateToInt(material);
  // C integer division and remainder: both truncate toward zero, so a
  // negative code gives remainders of 0 or -1.
  int w = code / 2;
  out[0] = 0;
  for (int k = 1; k <= 11; ++k) {
    out[k] = w % 2;
    w = w / 2;
  }
}

namespace {

// True when the panorama's blue byte one pixel right of (row, col) is 0.
// Reads nothing when the pixel lies outside the loaded image or the image is
// not 8-bit 3-channel.
bool blackRightOf(const cv::Mat& panorama, int row, int col) {
  if (panorama.type() != CV_8UC3 || row < 0 || row >= panorama.rows || col < 0 ||
      col >= panorama.cols) {
    return false;
  }
  const int right = col + 1 < panorama.cols ? col + 1 : 0;
  return panorama.ptr<unsigned char>(row)[3 * right] == 0;
}

// Stores mesh vertex `index` at (x, y, z): its position, its texture
// coordinate (the panorama pixel the point maps to, inside the panorama's
// band of the merged texture), the palette colour of colourIndex (0..14;
// other values use entry 0) and its alpha: 255, or 0 when the first (blue)
// byte of the panorama pixel one column to the right of the mapped pixel is
// 0. Right of the last column is column 0 of the same row. panorama is the
// loaded panorama (8-bit BGR), with viewCount bands of extra views below it
// in the merged texture. The per-vertex vectors of mesh are resized to
// index + 1 (normally one append).
void storeMeshVertex(int index, float x, float y, float z, int colourIndex,
                     const cv::Mat& panorama, int viewCount, MeshStore& mesh) {
  if (index < 0) return;
  const std::size_t size = static_cast<std::size_t>(index) + 1;
  mesh.vertices.resize(size);
  mesh.colours.resize(size);
  mesh.texCoords.resize(size);
  mesh.vertexAlpha.resize(size, 255);

  mesh.vertices[index] = MeshPoint{x, y, z};

  const int width = panorama.cols;
  const int height = panorama.rows;
  const PanoramaPixel pixel = mapToPanorama(x, y, z, width, height);
  TexCoord tex{0.0f, 0.0f};
  if (width > 0 && height > 0) {
    const double views = viewCount;
    tex.u = static_cast<float>(static_cast<double>(pixel.col) / width);
    tex.v = static_cast<float>(static_cast<double>(height - pixel.row - 1) / height / (views + 1) +
                               views / (views + 1));
  }
  mesh.texCoords[index] = tex;

  const CategoryRgb colour = categoryRgb(colourIndex);
  mesh.colours[index] = MeshColour{static_cast<float>(colour.r), static_cast<float>(colour.g),
                                   static_cast<float>(colour.b)};

  mesh.vertexAlpha[index] = blackRightOf(panorama, pixel.row, pixel.col) ? 0 : 255;
}

}  // namespace

void emitPlaneRectangle(const Plane& plane, const cv::Mat& panorama, int viewCount,
                        MeshStore& mesh) {
  const float p = plane.position;
  const float a0 = plane.uMin;
  const float a1 = plane.uMax;
  const float b0 = plane.vMin;
  const float b1 = plane.vMax;

  // Corners in winding order; the in-plane pair (a, b) is (u, v).
  float corners[4][3];
  auto set = [&corners](int k, float x, float y, float z) {
    corners[k][0] = x;
    corners[k][1] = y;
    corners[k][2] = z;
  };
  const int axis = roomSurfaceAxisTruncated(plane.type);
  if (axis == 0) {
    if (p > 0) {
      set(0, p, a0, b0); set(1, p, a0, b1); set(2, p, a1, b1); set(3, p, a1, b0);
    } else {
      set(0, p, a0, b0); set(1, p, a1, b0); set(2, p, a1, b1); set(3, p, a0, b1);
    }
  } else if (axis == 1) {
    if (p > 0) {
      set(0, a0, p, b0); set(1, a1, p, b0); set(2, a1, p, b1); set(3, a0, p, b1);
    } else {
      set(0, a0, p, b0); set(1, a0, p, b1); set(2, a1, p, b1); set(3, a1, p, b0);
    }
  } else if (axis == 2) {
    if (p > 0) {
      set(0, a0, b0, p); set(1, a0, b1, p); set(2, a1, b1, p); set(3, a1, b0, p);
    } else {
      set(0, a0, b0, p); set(1, a1, b0, p); set(2, a1, b1, p); set(3, a0, b1, p);
    }
  } else {
    return;
  }

  const int base = static_cast<int>(mesh.vertices.size());
  const int colour = categoryIndex(plane.category);
  for (int k = 0; k < 4; ++k) {
    storeMeshVertex(base + k, corners[k][0], corners[k][1], corners[k][2], colour, panorama,
                    viewCount, mesh);
  }
  mesh.faces.push_back({base, base + 1, base + 2, base + 3});
}

void emitCuboidRectangles(const Cuboid& box, const CuboidFaces& shown, const cv::Mat& panorama,
                          int viewCount, MeshStore& mesh) {

  const float x0 = box.minX, x1 = box.maxX;
  const float y0 = box.minY, y1 = box.maxY;
  const float z0 = box.minZ, z1 = box.maxZ;
  const float corners[8][3] = {{x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1},
                               {x0, y1, z0}, {x1, y1, z0}, {x1, y1, z1}, {x0, y1, z1}};

  const int base = static_cast<int>(mesh.vertices.size());
  const int colour = categoryIndex(box.category);
  for (int k = 0; k < 8; ++k) {
    storeMeshVertex(base + k, corners[k][0], corners[k][1], corners[k][2], colour, panorama,
                    viewCount, mesh);
  }

  struct Face {
    int flag;
    int corner[4];
  };
  const Face faces[6] = {
      {shown.minYShown, {0, 1, 2, 3}}, {shown.maxYShown, {4, 7, 6, 5}},
      {shown.minXShown, {4, 0, 3, 7}}, {shown.maxZShown, {7, 3, 2, 6}},
      {shown.maxXShown, {6, 2, 1, 5}}, {shown.minZShown, {5, 1, 0, 4}},
  };
  for (const Face& face : faces) {
    if (face.flag != 1) continue;
    mesh.faces.push_back({base + face.corner[0], base + face.corner[1], base + face.corner[2],
                          base + face.corner[3]});
  }
}

namespace {

// A room of kMaxPlanes planes, each a box of 8 vertices and 6 rectangles
// or a room plane of 4 and 1, keeps every count of the mesh within an int.
static_assert(8LL * kMaxPlanes <= INT_MAX, "vertex counts must fit in an int");

// The rectangles of mesh so far, as a group's range counts them.
int rectangleCount(const MeshStore& mesh) { return static_cast<int>(mesh.faces.size()); }

// Opens a group for an element of `category` emitted from `source` number
// sourceIndex: counts the instance, records the first rectangle, and adds the
// group's label with its material flags. Returns the group's index.
int openGroup(int category, float material, GroupSource source, int sourceIndex,
              int counters[kCategoryCount], RectangleMesh& out) {
  const int instance = ++counters[category];
  out.groups.push_back(
      RectangleGroup{category, instance, rectangleCount(out.mesh), 0, source, sourceIndex});
  GroupLabel label{};
  label.category = category;
  decodeMaterials(material, label.materials);
  out.groupLabels.push_back(label);
  return static_cast<int>(out.groups.size()) - 1;
}

// Closes group `index` after its element was emitted.
void closeGroup(int index, RectangleMesh& out) {
  out.groups[index].lastRectangle = rectangleCount(out.mesh) - 1;
}

}  // namespace

RectangleMesh generateRectangleMesh(const std::vector<Plane>& planes,
                                    const std::vector<Cuboid>& cuboids,
                                    const std::vector<CuboidFaces>& cuboidFaces,
                                    const cv::Mat& panorama, int viewCount) {
  // Reserve exactly what the room needs: 4 vertices and 1 rectangle per room
  // plane, 8 vertices and at most 6 rectangles per box. The plane reader
  // bounds the plane count so that these sums fit in an int.
  std::size_t roomPlanes = 0;
  for (const Plane& plane : planes) {
    if (isRoomSurface(plane.type)) ++roomPlanes;
  }
  std::size_t boxes = 0;
  for (const Cuboid& box : cuboids) {
    if (isGrownBox(box)) ++boxes;
  }
  RectangleMesh out;
  MeshStore& mesh = out.mesh;
  const std::size_t vertices = 4 * roomPlanes + 8 * boxes;
  mesh.vertices.reserve(vertices);
  mesh.colours.reserve(vertices);
  mesh.texCoords.reserve(vertices);
  mesh.vertexAlpha.reserve(vertices);
  mesh.faces.reserve(roomPlanes + 6 * boxes);
  out.groups.reserve(roomPlanes + boxes);
  out.groupLabels.reserve(roomPlanes + boxes);

  int counters[kCategoryCount] = {};
  for (std::size_t i = 0; i < planes.size(); ++i) {
    const Plane& plane = planes[i];
    if (!isRoomSurface(plane.type)) continue;
    const int group = openGroup(roomSurfaceCategory(plane), plane.material, GroupSource::kPlane,
                                static_cast<int>(i), counters, out);
    emitPlaneRectangle(plane, panorama, viewCount, mesh);
    closeGroup(group, out);
  }

  for (std::size_t j = 0; j < cuboids.size(); ++j) {
    const Cuboid& box = cuboids[j];
    if (!isGrownBox(box)) continue;
    // A box without a face-switch record counts as having all faces shown.
    const CuboidFaces shown =
        j < cuboidFaces.size() ? cuboidFaces[j] : CuboidFaces{1, 1, 1, 1, 1, 1};
    const int group = openGroup(categoryIndex(box.category), box.material, GroupSource::kCuboid,
                                static_cast<int>(j), counters, out);
    emitCuboidRectangles(box, shown, panorama, viewCount, mesh);
    closeGroup(group, out);
  }
  return out;
}

}  // namespace roombox
