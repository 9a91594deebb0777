#include "roombox/write_colour_obj.h"

#include "common/output_file.h"
#include "mesh/format_fixed.h"
#include "mesh/mesh_extent.h"
#include "mesh/write_author_banner.h"
#include "mesh/write_face_rows.h"

#include <cstdio>
#include <string>

namespace roombox {

void writeColourObj(const MeshStore& mesh, const std::string& path) {
  const MeshExtent extent = meshExtent(mesh);
  OutputFile out;
  openOutputFile(path, out);
  FILE* file = out.file;
  writeAuthorBanner("obj", file);
  std::fprintf(file, "# number of vertexes: %d, number of rectangles: %d\n#\n", mesh.vertexCount,
               mesh.rectangleCount);
  std::fprintf(file, "###################\n#\n#vertex with (x,y,z,r,g,b) coordinates\n\n");
  // Vertex lines are formatted as the "%f" conversion would and written one
  // at a time.
  char line[16 * 320];
  for (int i = 0; i < extent.vertices; ++i) {
    const MeshPoint& p = mesh.vertices[i];
    const MeshColour& c = mesh.colours[i];
    const double values[6] = {p.x, p.y, p.z, c.r / 255.0, c.g / 255.0, c.b / 255.0};
    char* end = line;
    *end++ = 'v';
    for (const double value : values) {
      *end++ = ' ';
      end = formatFixed(value, end);
    }
    *end++ = '\n';
    std::fwrite(line, 1, static_cast<std::size_t>(end - line), file);
  }
  std::fprintf(file, "g default\n");
  writeFaceRows(mesh, extent.rectangles, FaceRowStyle::kObj, file);
  std::fprintf(file, "\n\n#end of obj file");
  closeOutputFile(out);
}

}  // namespace roombox
