#include "mesh/write_face_rows.h"

namespace roombox {

void writeFaceRows(const MeshStore& mesh, int count, FaceRowStyle style, FILE* file) {
  char line[128];
  for (int r = 0; r < count; ++r) {
    const char* end = formatFaceRow(mesh.faces.ptr<int>(r), style, line);
    std::fwrite(line, 1, static_cast<std::size_t>(end - line), file);
  }
}

}  // namespace roombox
