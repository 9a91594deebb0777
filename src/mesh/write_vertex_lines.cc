#include "mesh/write_vertex_lines.h"

#include "mesh/format_fixed.h"

namespace roombox {

void writeVertexLines(const MeshStore& mesh, int count, FILE* file) {
  // Lines are formatted as the "%f" conversion would and written one at a
  // time.
  char line[16 * 320];
  for (int i = 0; i < count; ++i) {
    const MeshPoint& p = mesh.vertices[i];
    char* end = line;
    *end++ = 'v';
    for (const float value : {p.x, p.y, p.z}) {
      *end++ = ' ';
      end = formatFixed(value, end);
    }
    *end++ = '\n';
    std::fwrite(line, 1, static_cast<std::size_t>(end - line), file);
  }
}

}  // namespace roombox
