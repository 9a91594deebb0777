#pragma once

// Number of category indexes (0 None .. 14 Window).
constexpr int kCategoryCount = 15;

// Converts a category code carried in a float field to its index by
// truncation toward zero. A code whose index would fall outside 0..14, and
// NaN, give 0 (None), so the result always indexes the category tables.
int categoryIndex(float code);
