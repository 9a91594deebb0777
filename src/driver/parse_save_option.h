#pragma once

namespace roombox {

// Converts the save-option argument like the C atoi function: leading C white
// space, an optional sign, then decimal digits up to the first other
// character; text that is not a number gives 0. Values beyond the int range
// clamp to INT_MIN or INT_MAX instead of overflowing.
int parseSaveOption(const char* text);

}  // namespace roombox
