#include "driver/parse_save_option.h"

#include <cctype>
#include <climits>

namespace roombox {

int parseSaveOption(const char* text) {
  const char* p = text;
  while (std::isspace(static_cast<unsigned char>(*p))) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = *p == '-';
    ++p;
  }
  // Accumulate the magnitude, saturating one past INT_MAX so that the sign
  // can still reach INT_MIN.
  const long long limit = static_cast<long long>(INT_MAX) + 1;
  long long magnitude = 0;
  while (*p >= '0' && *p <= '9') {
    magnitude = magnitude * 10 + (*p - '0');
    if (magnitude > limit) magnitude = limit;
    ++p;
  }
  if (negative) return static_cast<int>(-magnitude);
  return magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
}

}  // namespace roombox
