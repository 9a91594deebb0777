#include "mesh/emit_cuboid_rectangles.h"

#include "roombox/categories.h"
#include "mesh/store_face_row.h"
#include "mesh/store_mesh_vertex.h"

namespace roombox {

void emitCuboidRectangles(const Cuboid& box, const CuboidFaces& shown, const cv::Mat& panorama,
                          int viewCount, MeshStore& mesh) {

  const float x0 = box.minX, x1 = box.maxX;
  const float y0 = box.minY, y1 = box.maxY;
  const float z0 = box.minZ, z1 = box.maxZ;
  const float corners[8][3] = {{x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1},
                               {x0, y1, z0}, {x1, y1, z0}, {x1, y1, z1}, {x0, y1, z1}};

  const int base = mesh.vertexCount;
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
  int appended = 0;
  for (const Face& face : faces) {
    if (face.flag != 1) continue;
    storeFaceRow(mesh.rectangleCount + appended, base + face.corner[0], base + face.corner[1],
                 base + face.corner[2], base + face.corner[3], mesh);
    ++appended;
  }
  mesh.vertexCount += 8;
  mesh.rectangleCount += appended;
}

}  // namespace roombox
