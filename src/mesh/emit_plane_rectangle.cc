#include "mesh/emit_plane_rectangle.h"

#include "roombox/categories.h"
#include "mesh/store_face_row.h"
#include "mesh/store_mesh_vertex.h"

namespace roombox {

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
  if (plane.type >= 7.0f && plane.type < 8.0f) {
    if (p > 0) {
      set(0, p, a0, b0); set(1, p, a0, b1); set(2, p, a1, b1); set(3, p, a1, b0);
    } else {
      set(0, p, a0, b0); set(1, p, a1, b0); set(2, p, a1, b1); set(3, p, a0, b1);
    }
  } else if (plane.type >= 9.0f && plane.type < 10.0f) {
    if (p > 0) {
      set(0, a0, p, b0); set(1, a1, p, b0); set(2, a1, p, b1); set(3, a0, p, b1);
    } else {
      set(0, a0, p, b0); set(1, a0, p, b1); set(2, a1, p, b1); set(3, a1, p, b0);
    }
  } else if (plane.type >= 8.0f && plane.type < 9.0f) {
    if (p > 0) {
      set(0, a0, b0, p); set(1, a0, b1, p); set(2, a1, b1, p); set(3, a1, b0, p);
    } else {
      set(0, a0, b0, p); set(1, a1, b0, p); set(2, a1, b1, p); set(3, a0, b1, p);
    }
  } else {
    return;
  }

  const int base = mesh.vertexCount;
  const int colour = categoryIndex(plane.category);
  for (int k = 0; k < 4; ++k) {
    storeMeshVertex(base + k, corners[k][0], corners[k][1], corners[k][2], colour, panorama,
                    viewCount, mesh);
  }
  storeFaceRow(mesh.rectangleCount, base, base + 1, base + 2, base + 3, mesh);
  mesh.vertexCount += 4;
  mesh.rectangleCount += 1;
}

}  // namespace roombox
