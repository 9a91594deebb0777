#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace roombox {

// A mesh vertex position in scene units.
struct MeshPoint {
  float x;
  float y;
  float z;
};

// A vertex colour; each channel is an integer value 0..255 held as a float.
struct MeshColour {
  float r;
  float g;
  float b;
};

// A texture coordinate into the merged texture image.
struct TexCoord {
  float u;
  float v;
};

// The rectangle mesh: four per-vertex vectors of one length (a vertex's
// position, colour, texture coordinate and alpha share its index) and one
// entry per rectangle holding the 0-based indices of its four corners in
// winding order.
struct MeshStore {
  std::vector<MeshPoint> vertices;
  std::vector<MeshColour> colours;
  std::vector<TexCoord> texCoords;
  std::vector<unsigned char> vertexAlpha;  // 255 = non-black, 0 = black
  std::vector<std::array<int, 4>> faces;
};

// What a rectangle group was emitted for: a wall, floor or ceiling plane
// (sourceIndex into the plane list) or a box (sourceIndex into the cuboids).
enum class GroupSource { kPlane, kCuboid };

// One emitted plane or cuboid: its category, its 1-based instance number
// among all groups of that category, its range of rectangles
// (lastRectangle = firstRectangle - 1 when it has none), and its source.
struct RectangleGroup {
  int category;
  int instance;
  int firstRectangle;
  int lastRectangle;
  GroupSource source;
  int sourceIndex;
};

// Category and material flags of a group. materials[k] (k = 1..11) is 1 when
// material k is present; materials[0] is unused and stays 0.
struct GroupLabel {
  int category;
  int materials[12];
};

// The corners c0..c3 of rectangle `row` of mesh (row < faces.size(), its
// vertex indices below vertices.size()), in the order of its face.
inline void rectangleCorners(const MeshStore& mesh, int row, double corners[4][3]) {
  const std::array<int, 4>& face = mesh.faces[static_cast<std::size_t>(row)];
  for (int k = 0; k < 4; ++k) {
    const MeshPoint& p = mesh.vertices[static_cast<std::size_t>(face[k])];
    corners[k][0] = p.x;
    corners[k][1] = p.y;
    corners[k][2] = p.z;
  }
}

// The output of mesh generation: the mesh and one group and one label per
// emitted plane or box, in emission order (room planes first, then boxes).
struct RectangleMesh {
  MeshStore mesh;
  std::vector<RectangleGroup> groups;
  std::vector<GroupLabel> groupLabels;
};

}  // namespace roombox
