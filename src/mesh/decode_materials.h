#pragma once

namespace roombox {

// Decodes a material code carried in a float field into flags: out[k]
// (k = 1..11) is bit k of the code, out[0] is set to 0 (bit 0 is ignored).
// The code is the float truncated toward zero after clamping to the int
// range (NaN counts as 0). A negative code yields flags of 0 or -1, so no
// material counts as present.
void decodeMaterials(float material, int out[12]);

}  // namespace roombox
