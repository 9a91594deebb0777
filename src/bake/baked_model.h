#pragma once

#include "common/file_names.h"
#include "roombox/bake_atlas.h"
#include "roombox/mesh_store.h"

#include <vector>

namespace roombox {

// What the writers of the baked model (GLB and baked OBJ) share: the atlas
// as an image file, the normal of each rectangle and where its corners lie
// in the atlas. Both name and order their entries as Reconstruction::scene.

// The MIME type of encodeAtlas's bytes, whose format kAtlasExtension names.
constexpr const char* kAtlasMimeType = "image/jpeg";

// The atlas image encoded as JPEG (quality 92): at the sizes of an atlas
// (up to 8192 x 8192) PNG takes several times as long to encode and makes a
// larger file of a photograph. Throws Error when encoding fails.
std::vector<unsigned char> encodeAtlas(const BakedAtlas& atlas);

// The unit normal of the rectangle with corners c (in winding order): the
// direction of (c1 - c0) x (c2 - c0), seen counter-clockwise from its front.
// A rectangle without area gets (0, 0, 1).
void faceNormal(const double c[4][3], double normal[3]);

// The atlas positions (in texels from its top left corner) of the four
// corners of patch p, in the order of its rectangle's corners: u[k] across,
// v[k] down the atlas.
void patchCorners(const AtlasPatch& p, double u[4], double v[4]);

}  // namespace roombox
