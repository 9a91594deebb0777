#include "mesh/write_colour_obj.h"

#include "driver/output_file.h"
#include "driver/scene_store.h"
#include "mesh/mesh_extent.h"

#include <cstdio>
#include <string>

void writeColourObj() {
  const SceneStore& store = sceneStore;
  const MeshStore& mesh = store.mesh;
  const MeshExtent extent = meshExtent();

  const std::string path = store.basePath + store.outputPrefix + "-rect-Object-colour.obj";
  FILE* file = openOutputFile(path);
  std::fprintf(file, "###################\n#\n# obj file created by roombox\n#\n");
  std::fprintf(file, "# number of vertexes: %d, number of rectangles: %d\n#\n", mesh.vertexCount,
               mesh.rectangleCount);
  std::fprintf(file, "###################\n#\n#vertex with (x,y,z,r,g,b) coordinates\n\n");
  for (int i = 0; i < extent.vertices; ++i) {
    const MeshPoint& p = mesh.vertices[i];
    const MeshColour& c = mesh.colours[i];
    std::fprintf(file, "v %f %f %f %f %f %f\n", p.x, p.y, p.z, c.r / 255.0, c.g / 255.0,
                 c.b / 255.0);
  }
  std::fprintf(file, "g default\n");
  for (int r = 0; r < extent.rectangles; ++r) {
    const int* c = mesh.faces.ptr<int>(r);
    std::fprintf(file, "f %lld %lld %lld %lld\n", c[0] + 1LL, c[1] + 1LL, c[2] + 1LL, c[3] + 1LL);
  }
  std::fprintf(file, "\n\n#end of obj file");
  closeOutputFile(file, path);
}
