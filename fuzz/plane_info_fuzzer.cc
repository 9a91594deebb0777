// libFuzzer target for the plane info reader: every input is written as a
// plane info file and read with readPlaneInfo. The reader must either load
// the planes or throw roombox::Error with its message; a loaded
// plane list must be consistent with its count and hold only finite numbers
// and categories 0 to 14, which later stages rely on.
#include "roombox/error.h"
#include "roombox/read_plane_info.h"
#include "scratch_folder.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace roombox {
namespace {

// Aborts (a libFuzzer crash) with what was violated.
void require(bool holds, const char* what) {
  if (!holds) {
    std::fprintf(stderr, "plane info fuzzer: %s\n", what);
    std::abort();
  }
}

void checkLoadedPlanes(const PlaneList& store) {
  const std::size_t count = store.planes.size();
  require(count <= static_cast<std::size_t>(kMaxPlanes), "more planes than a run accepts");
  require(store.equations.size() == count && store.planeSource.size() == count,
          "plane lists differ in length from the plane count");
  for (const int source : store.planeSource) require(source == 0, "a plane of no extra view");
  require(std::isfinite(store.cubeResolution), "cube resolution not finite");
  for (std::size_t i = 0; i < count; ++i) {
    const Plane& p = store.planes[i];
    const float fields[] = {p.active,  p.type,    p.position, p.uMin,     p.uMax,     p.vMin,
                            p.vMax,    p.centreX, p.centreY,  p.centreZ,  p.category, p.material};
    for (float field : fields) require(std::isfinite(field), "plane field not finite");
    const PlaneEquation& e = store.equations[i];
    const float coefficients[] = {e.a, e.b, e.c, e.d};
    for (float c : coefficients) require(std::isfinite(c), "equation coefficient not finite");
    require(static_cast<int>(p.category) >= 0 && static_cast<int>(p.category) <= 14,
            "category outside 0 to 14");
    require(store.planeSource[i] == 0, "plane of the main file with another source");
  }
}

}  // namespace
}  // namespace roombox

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  silenceStandardOutput();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& folder = scratchFolder();
  writeWholeFile(folder + "planes.txt", data, size);
  roombox::PlaneList planes;
  try {
    planes = roombox::readPlaneInfo(folder, "planes.txt");
  } catch (const roombox::Error& error) {
    roombox::require(error.what()[0] != '\0', "an error without a message");
    return 0;
  }
  roombox::checkLoadedPlanes(planes);
  return 0;
}
