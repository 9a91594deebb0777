#include "mesh/mesh_extent.h"

#include <algorithm>

namespace roombox {

MeshExtent meshExtent(const MeshStore& mesh) {
  std::size_t vertices = static_cast<std::size_t>(std::max(mesh.vertexCount, 0));
  vertices = std::min({vertices, mesh.vertices.size(), mesh.colours.size(),
                       mesh.texCoords.size(), mesh.vertexAlpha.size()});
  int rectangles = 0;
  if (mesh.faces.type() == CV_32SC1 && mesh.faces.cols >= 4) {
    rectangles = std::max(0, std::min(mesh.rectangleCount, mesh.faces.rows));
  }
  return MeshExtent{static_cast<int>(vertices), rectangles};
}

}  // namespace roombox
