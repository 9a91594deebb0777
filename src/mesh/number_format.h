#pragma once

namespace roombox {

// Converts a float to int by truncation toward zero, saturating instead of
// overflowing: values at or above 2^31 give INT_MAX, values at or below
// -2^31 give INT_MIN, and NaN gives 0. The value is compared before it is
// converted, so no NaN or out-of-range float reaches the conversion.
int truncateToInt(float value);

// Writes value at out exactly as C's printf("%f", value) does (six decimals,
// a '-' for every value with the sign bit set, "-0.000000" included; nan and
// inf as printf spells them) and returns the position just past the last
// character. No terminator is written. out must have room for 320
// characters (a float value, or one that is not larger, takes at most 47).
char* formatFixed(double value, char* out);

// The three ways the mesh files write a rectangle.
enum class FaceRowStyle {
  kObj,          // "f %lld %lld %lld %lld\n" of the 1-based indices
  kTexturedObj,  // "f %lld/%lld %lld/%lld %lld/%lld %lld/%lld\n", each 1-based index twice
  kOff,          // "4 %d %d %d %d\n" of the 0-based indices
};

// Writes the line of one rectangle, whose four 0-based vertex indices are
// corners[0..3], at out in the given style, exactly as the printf formats
// named there would, and returns the position just past its line feed. out
// must have room for 128 characters.
char* formatFaceRow(const int* corners, FaceRowStyle style, char* out);

}  // namespace roombox
