#pragma once

namespace roombox {

// Writes value at out exactly as C's printf("%f", value) does (six decimals,
// a '-' for every value with the sign bit set, "-0.000000" included; nan and
// inf as printf spells them) and returns the position just past the last
// character. No terminator is written. out must have room for 320
// characters (a float value, or one that is not larger, takes at most 47).
char* formatFixed(double value, char* out);

}  // namespace roombox
