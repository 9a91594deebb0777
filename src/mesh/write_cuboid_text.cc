#include "mesh/write_cuboid_text.h"

#include "driver/output_file.h"
#include "driver/scene_store.h"
#include "mesh/format_fixed.h"

#include <algorithm>
#include <cstdio>
#include <string>

void writeCuboidText() {
  const SceneStore& store = sceneStore;
  const int cuboidCount =
      static_cast<int>(std::min<std::size_t>(std::max(store.cuboidCount, 0), store.cuboids.size()));

  const std::string path = store.basePath + store.outputPrefix + "_cuboid.txt";
  FILE* file = openOutputFile(path);
  std::fprintf(file, "%d %f\n", cuboidCount + 1, store.cubeResolution);
  std::fprintf(file, "%f %f %f %f %f %f %f %f %f\n", 2.0, store.roomMin[0], store.roomMax[0],
               store.roomMin[1], store.roomMax[1], store.roomMin[2], store.roomMax[2], 5.0, 0.0);
  // One line per cuboid, formatted as "%f " per value and written at once.
  char line[16 * 320];
  for (int i = 0; i < cuboidCount; ++i) {
    const Cuboid& box = store.cuboids[i];
    const float values[9] = {box.kind, box.minX, box.maxX,     box.minY,    box.maxY,
                             box.minZ, box.maxZ, box.category, box.material};
    char* end = line;
    for (const float value : values) {
      end = formatFixed(value, end);
      *end++ = ' ';
    }
    *end++ = '\n';
    std::fwrite(line, 1, static_cast<std::size_t>(end - line), file);
  }
  closeOutputFile(file, path);
}
