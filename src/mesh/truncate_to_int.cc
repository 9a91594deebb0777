#include "mesh/truncate_to_int.h"

#include <climits>

namespace roombox {

int truncateToInt(float value) {
  if (value >= 2147483648.0f) return INT_MAX;
  if (value <= -2147483648.0f) return INT_MIN;
  if (!(value == value)) return 0;
  return static_cast<int>(value);
}

}  // namespace roombox
