#pragma once

#include "roombox/plane.h"

#include <string>

namespace roombox {

// The extra-view configuration: fixed values of the system. A run of the
// command-line tool uses ViewConfig{} as it stands (no extra views); callers
// of the library and tests may set other values.
struct ViewConfig {
  int viewCount = 0;
  std::string viewPlaneFiles[kViewSlots - 1] = {"", "", ""};
  std::string affineFileNames[kViewSlots] = {"Affine13.txt", "Affine53.txt", "Affine42.txt",
                                             "Affine52.txt"};
  // Slot k belongs to extra view k; the last slot is the panorama.
  std::string textureNames[kViewSlots + 1] = {"shifted_t1.png", "shifted_t5.png",
                                              "shifted_t4.png", "shifted_t5.png", "shifted_t.png"};
};

// The parts of a run that read something per extra view, each through its
// own slots of ViewConfig.
enum class ViewSlots {
  kPlaneFiles,   // viewPlaneFiles: one slot fewer than there are views
  kAffineFiles,  // affineFileNames: one slot per view
  kTextures,     // textureNames (the last slot is the panorama's), and the
                 // texture bands of the mesh, which must agree with them
};

// The extra views a part of the run takes: views.viewCount, where a
// negative count means none, and no more than that part has slots for.
inline int usableViewCount(const ViewConfig& views, ViewSlots slots) {
  const int available = slots == ViewSlots::kPlaneFiles ? kViewSlots - 1 : kViewSlots;
  if (views.viewCount < 0) return 0;
  return views.viewCount < available ? views.viewCount : available;
}

// The 3 x 4 affine transform of one extra view, rows of (r r r t).
struct ViewTransform {
  float matrix[3][4];
};

}  // namespace roombox
