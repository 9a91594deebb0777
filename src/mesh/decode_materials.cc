#include "mesh/decode_materials.h"

#include "mesh/truncate_to_int.h"

namespace roombox {

void decodeMaterials(float material, int out[12]) {
  const int code = truncateToInt(material);
  // C integer division and remainder: both truncate toward zero, so a
  // negative code gives remainders of 0 or -1.
  int w = code / 2;
  out[0] = 0;
  for (int k = 1; k <= 11; ++k) {
    out[k] = w % 2;
    w = w / 2;
  }
}

}  // namespace roombox
