#include "mesh/write_object_off.h"

#include "driver/output_file.h"
#include "driver/scene_store.h"
#include "mesh/mesh_extent.h"

#include <cstdio>
#include <string>

namespace {

// A colour channel truncated to an integer; NaN and values beyond the int
// range are compared before converting (they give 0 or the range limit).
int channel(float value) {
  if (!(value == value)) return 0;
  if (value >= 2147483648.0f) return 2147483647;
  if (value <= -2147483648.0f) return -2147483647 - 1;
  return static_cast<int>(value);
}

}  // namespace

void writeObjectOff() {
  const SceneStore& store = sceneStore;
  const MeshStore& mesh = store.mesh;
  const MeshExtent extent = meshExtent();

  const std::string path = store.basePath + store.outputPrefix + "-rect-Object.off";
  FILE* file = openOutputFile(path);
  std::fprintf(file, "###################\n#\n# off file created by roombox\n#\n");
  std::fprintf(file, "###################\n#\n#(x,y,z,r,g,b,a) coordinates\n\n");
  std::fprintf(file, "COFF\n");
  std::fprintf(file, "%d %d 0\n", mesh.vertexCount, mesh.rectangleCount);
  for (int i = 0; i < extent.vertices; ++i) {
    const MeshPoint& p = mesh.vertices[i];
    const MeshColour& c = mesh.colours[i];
    std::fprintf(file, "%f %f %f %d %d %d %d\n", p.x, p.y, p.z, channel(c.r), channel(c.g),
                 channel(c.b), static_cast<int>(mesh.vertexAlpha[i]));
  }
  std::fprintf(file, "\n\n#face with vertex indexes \n\n");
  for (int r = 0; r < extent.rectangles; ++r) {
    const int* c = mesh.faces.ptr<int>(r);
    std::fprintf(file, "4 %d %d %d %d\n", c[0], c[1], c[2], c[3]);
  }
  std::fprintf(file, "\n\n#end of off file");
  closeOutputFile(file, path);
}
