#include "roombox/write_object_obj.h"

#include "common/output_file.h"
#include "roombox/categories.h"
#include "mesh/format_face_row.h"
#include "mesh/mesh_extent.h"
#include "mesh/write_vertex_lines.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace roombox {

void writeObjectObj(const RectangleMesh& rectangles, const std::string& path) {
  const MeshStore& mesh = rectangles.mesh;
  const std::vector<RectangleGroup>& groups = rectangles.groups;
  const MeshExtent extent = meshExtent(mesh);
  const int groupCount = static_cast<int>(groups.size());

  OutputFile out;
  openOutputFile(path, out);
  FILE* file = out.file;
  std::fprintf(file, "# number of vertexes: %d, number of rectangles: %d\n#\n", mesh.vertexCount,
               mesh.rectangleCount);
  std::fprintf(file, "###################\n#\n#vertex with (x,y,z) coordinates\n\n");
  writeVertexLines(mesh, extent.vertices, file);
  // Face lines are formatted as the "%lld" conversion would and written one
  // at a time.
  char line[128];
  int next = 0;  // the first group whose header is not written yet
  for (int r = 0; r < extent.rectangles; ++r) {
    while (next < groupCount && groups[next].firstRectangle == r) {
      const int category = groups[next].category;
      const char* name = CategoryNames[category >= 0 && category < kCategoryCount ? category : 0];
      std::fprintf(file, "\ng %s_%d\n", name, groups[next].instance);
      ++next;
    }
    const char* end = formatFaceRow(mesh.faces.ptr<int>(r), FaceRowStyle::kObj, line);
    std::fwrite(line, 1, static_cast<std::size_t>(end - line), file);
  }
  std::fprintf(file, "\n\n#end of obj file");
  closeOutputFile(out);
}

}  // namespace roombox
