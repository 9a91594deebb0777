#pragma once

#include "roombox/bake_atlas.h"
#include "roombox/mesh_store.h"

#include <vector>

namespace roombox {

// The size of an atlas and where every rectangle's patch lies in it.
struct AtlasLayout {
  int width = 0;
  int height = 0;
  std::vector<AtlasPatch> patches;  // one per face of the mesh, in its order
  double texelScale = 1;            // 1: one texel per panorama pixel where nearest
};

// Sizes a patch for every rectangle of mesh and packs them into an atlas,
// tallest first, each resting on the patches placed before it (in rows of
// patches when there are very many). A rectangle at nearest distance d from
// the origin gets texels of side d times the panorama's angular pixel size
// (pixelAngle radians) times texelScale, at least one along each edge; texelScale starts at 1 and grows
// evenly for all patches until the patches with their gutters hold at most
// limits.maxTexels texels (unless every patch is already one texel) and the
// atlas fits limits.maxSide on both sides. Throws Error when the patches
// cannot fit maxSide even at one texel each.
AtlasLayout planAtlasLayout(const MeshStore& mesh, double pixelAngle, const AtlasLimits& limits);

}  // namespace roombox
