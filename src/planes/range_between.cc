#include "planes/range_between.h"

#include <cmath>

namespace roombox {

void rangeBetween(float a, float b, float& low, float& high) {
  if (a <= b) {
    low = a;
    high = b;
  } else if (b < a) {
    low = b;
    high = a;
  } else {
    low = high = NAN;
  }
}

}  // namespace roombox
