#pragma once

namespace roombox {

// Number of category indexes (0 None .. 14 Window).
constexpr int kCategoryCount = 15;

// Names of the fifteen category indexes (0 "None" .. 14 "Window") used by
// planes, cuboids and rectangle groups.
extern const char* const CategoryNames[kCategoryCount];

// Names of the material bits: index k (1..11) is bit k of a material code.
// Index 0 is never written out.
extern const char* const MaterialNames[12];

// Converts a category code carried in a float field to its index by
// truncation toward zero. A code whose index would fall outside 0..14, and
// NaN, give 0 (None), so the result always indexes the category tables.
int categoryIndex(float code);

}  // namespace roombox
