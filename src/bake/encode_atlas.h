#pragma once

#include "roombox/bake_atlas.h"

#include <string>
#include <vector>

namespace roombox {

// The atlas image encoded as JPEG (quality 92): at the sizes of an atlas
// (up to 8192 x 8192) PNG takes several times as long to encode and makes a
// larger file of a photograph. Throws Error when encoding fails.
std::vector<unsigned char> encodeAtlas(const BakedAtlas& atlas);

// The MIME type and the file name extension of encodeAtlas's bytes.
constexpr const char* kAtlasMimeType = "image/jpeg";
constexpr const char* kAtlasExtension = ".jpg";

}  // namespace roombox
