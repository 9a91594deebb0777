// libFuzzer target for the plane info reader: every input is written as a
// plane info file and read with readPlaneInfo. The reader must either load
// the planes or stop with a message (RunStopped in a fuzz build); a loaded
// plane list must be consistent with its count and hold only finite numbers
// and categories 0 to 14, which later stages rely on.
#include "driver/scene_store.h"
#include "driver/stop_run.h"
#include "input/read_plane_info.h"
#include "scratch_folder.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// Aborts (a libFuzzer crash) with what was violated.
void require(bool holds, const char* what) {
  if (!holds) {
    std::fprintf(stderr, "plane info fuzzer: %s\n", what);
    std::abort();
  }
}

void checkLoadedPlanes() {
  const SceneStore& store = sceneStore;
  const std::size_t count = static_cast<std::size_t>(store.planeCount);
  require(store.planeCount >= 0, "negative plane count");
  require(store.planeCount == store.mainPlaneCount, "plane count differs from the header");
  require(store.planes.size() == count && store.equations.size() == count &&
              store.edgeLinks.size() == count && store.planeSource.size() == count,
          "plane lists differ in length from the plane count");
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

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  silenceStandardOutput();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& folder = scratchFolder();
  writeWholeFile(folder + "planes.txt", data, size);
  sceneStore = SceneStore{};
  sceneStore.basePath = folder;
  sceneStore.planeInfoFile = "planes.txt";
  try {
    readPlaneInfo();
  } catch (const RunStopped& stopped) {
    require(stopped.status == kFailureStatus, "stopped with another status");
    return 0;
  }
  checkLoadedPlanes();
  return 0;
}
