#include "roombox/categories.h"

namespace roombox {

int categoryIndex(float code) {
  // Compare before converting: NaN and out-of-range values never reach the
  // integer conversion.
  if (!(code > -1.0f && code < static_cast<float>(kCategoryCount))) return 0;
  return static_cast<int>(code);
}

}  // namespace roombox
