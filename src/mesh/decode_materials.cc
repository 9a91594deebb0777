#include "mesh/decode_materials.h"

#include <climits>

void decodeMaterials(float material, int out[12]) {
  int code = 0;
  if (material >= 2147483648.0f) {
    code = INT_MAX;
  } else if (material <= -2147483648.0f) {
    code = INT_MIN;
  } else if (material == material) {
    code = static_cast<int>(material);
  }
  // C integer division and remainder: both truncate toward zero, so a
  // negative code gives remainders of 0 or -1.
  int w = code / 2;
  out[0] = 0;
  for (int k = 1; k <= 11; ++k) {
    out[k] = w % 2;
    w = w / 2;
  }
}
