#include "mesh/store_face_row.h"

#include <algorithm>

namespace roombox {

namespace {

// Rows of a faces matrix created by mesh generation itself (when the driver
// has not allocated one).
constexpr int kInitialFaceRows = 64;

}  // namespace

void storeFaceRow(int row, int c0, int c1, int c2, int c3, MeshStore& mesh) {
  if (row < 0) return;
  if (mesh.faces.empty() || mesh.faces.type() != CV_32SC1 || mesh.faces.cols < 4) {
    mesh.faces.create(std::max(kInitialFaceRows, row + 1), 8, CV_32SC1);
    mesh.rectangleCapacity = mesh.faces.rows;
  } else if (row >= mesh.faces.rows) {
    const long long doubled = 2LL * mesh.faces.rows;
    const int rows = static_cast<int>(std::min<long long>(
        std::max<long long>(doubled, static_cast<long long>(row) + 1), 0x7fffffff));
    cv::Mat larger(rows, mesh.faces.cols, CV_32SC1);
    mesh.faces.copyTo(larger(cv::Rect(0, 0, mesh.faces.cols, mesh.faces.rows)));
    mesh.faces = larger;
    mesh.rectangleCapacity = rows;
  }
  int* cells = mesh.faces.ptr<int>(row);
  cells[0] = c0;
  cells[1] = c1;
  cells[2] = c2;
  cells[3] = c3;
}

}  // namespace roombox
