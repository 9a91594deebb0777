#include "preview/preview_items.h"

#include "common/plane_types.h"
#include "roombox/error.h"
#include "roombox/scene_model.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <utility>

namespace roombox {

namespace {

// Sets the four corners of the rectangle of a wall (type 7: x = position,
// 9: y = position) or floor or ceiling (type 8: z = position), in order
// around it. Returns false for any other type.
bool planeRectangle(const Plane& plane, cv::Point3d corners[4]) {
  const double p = plane.position;
  const double u[4] = {plane.uMin, plane.uMax, plane.uMax, plane.uMin};
  const double v[4] = {plane.vMin, plane.vMin, plane.vMax, plane.vMax};
  const int axis = roomSurfaceAxisTruncated(plane.type);
  for (int k = 0; k < 4; ++k) {
    if (axis == 0) {
      corners[k] = cv::Point3d(p, u[k], v[k]);
    } else if (axis == 1) {
      corners[k] = cv::Point3d(u[k], p, v[k]);
    } else if (axis == 2) {
      corners[k] = cv::Point3d(u[k], v[k], p);
    } else {
      return false;
    }
  }
  return true;
}

// Fills the centre and the x, y footprint of item from its edges.
void measureItem(PreviewItem& item) {
  cv::Point3d low = item.edges.front().a;
  cv::Point3d high = low;
  for (const PreviewEdge& edge : item.edges) {
    for (const cv::Point3d& p : {edge.a, edge.b}) {
      low = cv::Point3d(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
      high = cv::Point3d(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
    }
  }
  item.centre = (low + high) * 0.5;
  item.footprintMin = cv::Point2d(low.x, low.y);
  item.footprintMax = cv::Point2d(high.x, high.y);
}

}  // namespace

std::vector<PreviewEdge> boxEdges(const Cuboid& box, const CuboidFaces& shown) {
  const double lo[3] = {box.minX, box.minY, box.minZ};
  const double hi[3] = {box.maxX, box.maxY, box.maxZ};
  // Shown-switches of the low and high face on each axis.
  const int lowShown[3] = {shown.minXShown, shown.minYShown, shown.minZShown};
  const int highShown[3] = {shown.maxXShown, shown.maxYShown, shown.maxZShown};

  std::vector<PreviewEdge> edges;
  edges.reserve(12);
  for (int axis = 0; axis < 3; ++axis) {
    // The edge runs along `axis` and lies on one face of each other axis.
    const int first = (axis + 1) % 3;
    const int second = (axis + 2) % 3;
    for (int corner = 0; corner < 4; ++corner) {
      const bool firstHigh = (corner & 1) != 0;
      const bool secondHigh = (corner & 2) != 0;
      double start[3];
      double end[3];
      start[axis] = lo[axis];
      end[axis] = hi[axis];
      start[first] = end[first] = firstHigh ? hi[first] : lo[first];
      start[second] = end[second] = secondHigh ? hi[second] : lo[second];
      const int firstFace = firstHigh ? highShown[first] : lowShown[first];
      const int secondFace = secondHigh ? highShown[second] : lowShown[second];
      PreviewEdge edge;
      edge.a = cv::Point3d(start[0], start[1], start[2]);
      edge.b = cv::Point3d(end[0], end[1], end[2]);
      edge.hidden = firstFace != 1 && secondFace != 1;
      edges.push_back(edge);
    }
  }
  return edges;
}

std::vector<PreviewItem> collectPreviewItems(const Reconstruction& room) {
  const std::vector<Plane>& planes = room.planes.planes;
  std::vector<PreviewItem> items;
  items.reserve(room.scene.entries.size());
  for (const SceneEntry* entry : entriesInGroupOrder(room.scene)) {
    if (entry->sourceIndex < 0) continue;
    const std::size_t source = static_cast<std::size_t>(entry->sourceIndex);
    PreviewItem item;
    item.name = entry->name;
    item.category = entry->category;
    if (entry->kind == EntryKind::kObject) {
      if (source >= room.cuboids.size()) continue;
      // A box without a face-switch record has all faces shown, as in the mesh.
      const CuboidFaces shown = source < room.cuboidFaces.size() ? room.cuboidFaces[source]
                                                                 : CuboidFaces{1, 1, 1, 1, 1, 1};
      item.box = true;
      item.edges = boxEdges(room.cuboids[source], shown);
    } else {
      cv::Point3d corners[4];
      if (source >= planes.size() || !planeRectangle(planes[source], corners)) continue;
      for (int k = 0; k < 4; ++k) {
        PreviewEdge edge;
        edge.a = corners[k];
        edge.b = corners[(k + 1) % 4];
        item.edges.push_back(edge);
      }
    }
    // A point that is not a finite number has no direction to draw it in.
    for (const PreviewEdge& edge : item.edges) {
      for (const cv::Point3d& p : {edge.a, edge.b}) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
          throw Error("Cannot draw the preview: " + item.name +
                      " has coordinates that are not finite numbers");
        }
      }
    }
    measureItem(item);
    items.push_back(std::move(item));
  }
  return items;
}

}  // namespace roombox
