#include "preview/box_edges.h"

namespace roombox {

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

}  // namespace roombox
