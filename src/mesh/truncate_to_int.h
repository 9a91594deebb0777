#pragma once

namespace roombox {

// Converts a float to int by truncation toward zero, saturating instead of
// overflowing: values at or above 2^31 give INT_MAX, values at or below
// -2^31 give INT_MIN, and NaN gives 0. The value is compared before it is
// converted, so no NaN or out-of-range float reaches the conversion.
int truncateToInt(float value);

}  // namespace roombox
