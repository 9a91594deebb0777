#include "roombox/write_object_off.h"

#include "common/output_file.h"
#include "mesh/format_fixed.h"
#include "mesh/mesh_extent.h"
#include "mesh/truncate_to_int.h"
#include "mesh/write_author_banner.h"
#include "mesh/write_face_rows.h"

#include <charconv>
#include <cstdio>
#include <string>

namespace roombox {

void writeObjectOff(const MeshStore& mesh, const std::string& path) {
  const MeshExtent extent = meshExtent(mesh);
  OutputFile out;
  openOutputFile(path, out);
  FILE* file = out.file;
  writeAuthorBanner("off", file);
  std::fprintf(file, "###################\n#\n#(x,y,z,r,g,b,a) coordinates\n\n");
  std::fprintf(file, "COFF\n");
  std::fprintf(file, "%d %d 0\n", mesh.vertexCount, mesh.rectangleCount);
  // Vertex lines are formatted as the "%f" and "%d" conversions would and
  // written one at a time.
  char line[16 * 320];
  for (int i = 0; i < extent.vertices; ++i) {
    const MeshPoint& p = mesh.vertices[i];
    const MeshColour& c = mesh.colours[i];
    char* end = line;
    end = formatFixed(p.x, end);
    *end++ = ' ';
    end = formatFixed(p.y, end);
    *end++ = ' ';
    end = formatFixed(p.z, end);
    // Colour channels are truncated to whole numbers.
    for (const int value : {truncateToInt(c.r), truncateToInt(c.g), truncateToInt(c.b),
                            static_cast<int>(mesh.vertexAlpha[i])}) {
      *end++ = ' ';
      end = std::to_chars(end, end + 16, value).ptr;
    }
    *end++ = '\n';
    std::fwrite(line, 1, static_cast<std::size_t>(end - line), file);
  }
  std::fprintf(file, "\n\n#face with vertex indexes \n\n");
  writeFaceRows(mesh, extent.rectangles, FaceRowStyle::kOff, file);
  std::fprintf(file, "\n\n#end of off file");
  closeOutputFile(out);
}

}  // namespace roombox
