#include "mesh/write_object_obj.h"

#include "driver/output_file.h"
#include "driver/scene_store.h"
#include "mesh/category_index.h"
#include "mesh/mesh_extent.h"
#include "scene/category_names.h"

#include <algorithm>
#include <cstdio>
#include <string>

void writeObjectObj(const std::vector<RectangleGroup>& groups) {
  const SceneStore& store = sceneStore;
  const MeshStore& mesh = store.mesh;
  const MeshExtent extent = meshExtent();
  const int groupCount =
      static_cast<int>(std::min<std::size_t>(std::max(store.groupCount, 0), groups.size()));

  const std::string path = store.basePath + store.outputPrefix + "-rect-Object.obj";
  FILE* file = openOutputFile(path);
  std::fprintf(file, "# number of vertexes: %d, number of rectangles: %d\n#\n", mesh.vertexCount,
               mesh.rectangleCount);
  std::fprintf(file, "###################\n#\n#vertex with (x,y,z) coordinates\n\n");
  for (int i = 0; i < extent.vertices; ++i) {
    const MeshPoint& p = mesh.vertices[i];
    std::fprintf(file, "v %f %f %f\n", p.x, p.y, p.z);
  }
  int next = 0;  // the first group whose header is not written yet
  for (int r = 0; r < extent.rectangles; ++r) {
    while (next < groupCount && groups[next].firstRectangle == r) {
      const int category = groups[next].category;
      const char* name = CategoryNames[category >= 0 && category < kCategoryCount ? category : 0];
      std::fprintf(file, "\ng %s_%d\n", name, groups[next].instance);
      ++next;
    }
    const int* c = mesh.faces.ptr<int>(r);
    std::fprintf(file, "f %lld %lld %lld %lld\n", c[0] + 1LL, c[1] + 1LL, c[2] + 1LL, c[3] + 1LL);
  }
  std::fprintf(file, "\n\n#end of obj file");
  closeOutputFile(file, path);
}
