#pragma once

namespace roombox {

// The vertex colour of each category index 0..14 (r, g, b, each 0..255).
extern const int CategoryPalette[15][3];

}  // namespace roombox
