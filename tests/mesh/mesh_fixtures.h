#pragma once

#include "mesh/rectangle_mesh.h"
#include "roombox/cuboid.h"
#include "roombox/mesh_store.h"
#include "roombox/plane.h"

#include <opencv2/core.hpp>

#include <array>
#include <cstddef>
#include <vector>

namespace roombox {

// A width x height panorama with every byte 200.
inline cv::Mat grayPanorama(int width, int height) {
  return cv::Mat(height, width, CV_8UC3, cv::Scalar(200, 200, 200));
}

// An active plane with the given type, position, u and v ranges, category.
inline Plane makePlane(float type, float position, float uMin, float uMax, float vMin, float vMax,
                       float category, float material = 0.0f) {
  return Plane{1, type, position, uMin, uMax, vMin, vMax, 0, 0, 0, category, material};
}

// A box with the given bounds, category, material and kind.
inline Cuboid makeCuboid(float minX, float maxX, float minY, float maxY, float minZ, float maxZ,
                         float category, float material = 0, float kind = 1) {
  return Cuboid{kind, minX, maxX, minY, maxY, minZ, maxZ, category, material};
}

// What mesh generation reads: planes, boxes with their face switches, the
// panorama and the number of extra views.
struct MeshInput {
  std::vector<Plane> planes;
  std::vector<Cuboid> cuboids;
  std::vector<CuboidFaces> cuboidFaces;
  cv::Mat panorama = grayPanorama(8, 4);
  int viewCount = 0;

  // Appends a box with its face switches.
  void addCuboid(const Cuboid& box, const CuboidFaces& shown) {
    cuboids.push_back(box);
    cuboidFaces.push_back(shown);
  }
};

// The rectangle mesh of input.
inline RectangleMesh generate(const MeshInput& input) {
  return generateRectangleMesh(input.planes, input.cuboids, input.cuboidFaces, input.panorama,
                               input.viewCount);
}

// The four vertex indices of rectangle row.
inline cv::Vec4i faceRow(const MeshStore& mesh, int row) {
  const std::array<int, 4>& face = mesh.faces[static_cast<std::size_t>(row)];
  return cv::Vec4i(face[0], face[1], face[2], face[3]);
}

}  // namespace roombox
