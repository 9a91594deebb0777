#include "roombox/write_cuboid_text.h"

#include "common/c_locale.h"
#include "common/output_file.h"
#include "mesh/format_fixed.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace roombox {

void writeCuboidText(const RoomBox& room, const std::vector<Cuboid>& cuboids,
                     float cubeResolution, const std::string& path) {
  const CLocaleScope cLocale;  // numbers with a decimal point, whatever the locale
  const int cuboidCount = static_cast<int>(cuboids.size());
  OutputFile out;
  openOutputFile(path, out);
  FILE* file = out.file;
  std::fprintf(file, "%d %f\n", cuboidCount + 1, cubeResolution);
  std::fprintf(file, "%f %f %f %f %f %f %f %f %f\n", 2.0, room.roomMin[0], room.roomMax[0],
               room.roomMin[1], room.roomMax[1], room.roomMin[2], room.roomMax[2], 5.0, 0.0);
  // One line per cuboid, formatted as "%f " per value and written at once.
  char line[16 * 320];
  for (int i = 0; i < cuboidCount; ++i) {
    const Cuboid& box = cuboids[i];
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
  closeOutputFile(out);
}

}  // namespace roombox
