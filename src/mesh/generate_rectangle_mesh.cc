#include "mesh/generate_rectangle_mesh.h"

#include "mesh/decode_materials.h"
#include "mesh/emit_cuboid_rectangles.h"
#include "mesh/emit_plane_rectangle.h"
#include "roombox/categories.h"

#include <algorithm>
#include <climits>
#include <cstddef>

namespace roombox {

namespace {

// A room of kMaxPlanes planes, each a box of 8 vertices and 6 rectangles
// or a room plane of 4 and 1, keeps every count of the mesh within an int.
static_assert(8LL * kMaxPlanes <= INT_MAX, "vertex counts must fit in an int");

constexpr int kWall = 13;
constexpr int kCeiling = 3;
constexpr int kFloor = 5;

bool isRoomPlaneType(float type) { return type == 7.0f || type == 8.0f || type == 9.0f; }

// Opens a group for an element of `category` emitted from `source` number
// sourceIndex: counts the instance, records the first rectangle, and adds the
// group's label with its material flags. Returns the group's index.
int openGroup(int category, float material, GroupSource source, int sourceIndex,
              int counters[kCategoryCount], RectangleMesh& out) {
  const int instance = ++counters[category];
  out.groups.push_back(
      RectangleGroup{category, instance, out.mesh.rectangleCount, 0, source, sourceIndex});
  GroupLabel label{};
  label.category = category;
  decodeMaterials(material, label.materials);
  out.groupLabels.push_back(label);
  return static_cast<int>(out.groups.size()) - 1;
}

// Closes group `index` after its element was emitted.
void closeGroup(int index, RectangleMesh& out) {
  out.groups[index].lastRectangle = out.mesh.rectangleCount - 1;
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
    if (isRoomPlaneType(plane.type)) ++roomPlanes;
  }
  std::size_t boxes = 0;
  for (const Cuboid& box : cuboids) {
    if (box.kind == 1.0f) ++boxes;
  }
  RectangleMesh out;
  MeshStore& mesh = out.mesh;
  const std::size_t vertices = 4 * roomPlanes + 8 * boxes;
  const std::size_t rectangles = std::max<std::size_t>(roomPlanes + 6 * boxes, 1);
  mesh.vertices.reserve(vertices);
  mesh.colours.reserve(vertices);
  mesh.texCoords.reserve(vertices);
  mesh.vertexAlpha.reserve(vertices);
  mesh.vertexCapacity = static_cast<int>(vertices);
  mesh.faces.create(static_cast<int>(rectangles), 8, CV_32SC1);
  mesh.rectangleCapacity = mesh.faces.rows;
  out.groups.reserve(roomPlanes + boxes);
  out.groupLabels.reserve(roomPlanes + boxes);

  int counters[kCategoryCount] = {};
  for (std::size_t i = 0; i < planes.size(); ++i) {
    const Plane& plane = planes[i];
    if (!isRoomPlaneType(plane.type)) continue;
    int category = kWall;
    if (plane.type == 8.0f) category = plane.position > 0 ? kCeiling : kFloor;
    const int group = openGroup(category, plane.material, GroupSource::kPlane,
                                static_cast<int>(i), counters, out);
    emitPlaneRectangle(plane, panorama, viewCount, mesh);
    closeGroup(group, out);
  }

  for (std::size_t j = 0; j < cuboids.size(); ++j) {
    const Cuboid& box = cuboids[j];
    if (box.kind != 1.0f) continue;
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
