#include "roombox/write_textured_obj.h"

#include "common/c_locale.h"
#include "common/file_name_part.h"
#include "common/output_file.h"
#include "mesh/format_fixed.h"
#include "mesh/mesh_extent.h"
#include "mesh/write_author_banner.h"
#include "mesh/write_face_rows.h"
#include "mesh/write_vertex_lines.h"

#include <cstdio>
#include <string>

namespace roombox {

void writeTexturedObj(const MeshStore& mesh, const std::string& basePath,
                      const std::string& outputPrefix, const std::string& textureFileName) {
  const CLocaleScope cLocale;  // numbers with a decimal point, whatever the locale
  const MeshExtent extent = meshExtent(mesh);

  OutputFile objFile;
  openOutputFile(basePath + outputPrefix + "-rect.obj", objFile);
  FILE* obj = objFile.file;
  writeAuthorBanner("obj", obj);
  std::fprintf(obj, "# number of vertexes: %d, number of rectangles: %d\n#\n", mesh.vertexCount,
               mesh.rectangleCount);
  std::fprintf(obj,
               "###################\n#\n#vertex with (x,y,z) coordinates, texture with (u,v) "
               "coordinates\n\n");
  std::fprintf(obj, "mtllib %s-rect.obj.mtl\n", fileNamePart(outputPrefix).c_str());
  std::fprintf(obj, "g default\n");
  writeVertexLines(mesh, extent.vertices, obj);
  // Texture coordinate lines are formatted as the "%f" conversion would and
  // written one at a time.
  char line[16 * 320];
  for (int i = 0; i < extent.vertices; ++i) {
    const TexCoord& t = mesh.texCoords[i];
    char* end = line;
    *end++ = 'v';
    *end++ = 't';
    for (const float value : {t.u, t.v}) {
      *end++ = ' ';
      end = formatFixed(value, end);
    }
    *end++ = '\n';
    std::fwrite(line, 1, static_cast<std::size_t>(end - line), obj);
  }
  std::fprintf(obj, "vt %f %f\n", 0.001, 0.001);
  std::fprintf(obj, "\n\n#face with vertex indexes\n\n");
  std::fprintf(obj, "s off\n");
  std::fprintf(obj, "g Mesh\n");
  std::fprintf(obj, "usemtl lambert2SG\n");
  writeFaceRows(mesh, extent.rectangles, FaceRowStyle::kTexturedObj, obj);
  std::fprintf(obj, "\n\n#end of obj file");
  closeOutputFile(objFile);

  OutputFile mtlFile;
  openOutputFile(basePath + outputPrefix + "-rect.obj.mtl", mtlFile, "Cannot make %s\n");
  FILE* mtl = mtlFile.file;
  std::fprintf(mtl, "newmtl lambert2SG\n");
  std::fprintf(mtl, "Kd 0.00 0.00 0.00\n");
  std::fprintf(mtl, "Ka 0.00 0.00 0.00\n");
  std::fprintf(mtl, "Tf 1.00 1.00 1.00\n");
  std::fprintf(mtl, "map_Kd %s\n", fileNamePart(textureFileName).c_str());
  std::fprintf(mtl, "Ni 1.00\n");
  closeOutputFile(mtlFile);
}

}  // namespace roombox
