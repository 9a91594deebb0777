#pragma once

namespace roombox {

// Number of category indexes (0 None .. 14 Window).
constexpr int kCategoryCount = 15;

// The category indexes that rules of the reconstruction name: a plane
// without one, the room's ceiling, floor and walls.
constexpr int kCategoryNone = 0;
constexpr int kCategoryCeiling = 3;
constexpr int kCategoryFloor = 5;
constexpr int kCategoryWall = 13;

// Names of the fifteen category indexes (0 "None" .. 14 "Window") used by
// planes, cuboids and rectangle groups.
extern const char* const CategoryNames[kCategoryCount];

// Names of the material bits: index k (1..11) is bit k of a material code.
// Index 0 is never written out.
extern const char* const MaterialNames[12];

// The name of category index `category`; an index outside 0..14 names None.
const char* categoryName(int category);

// A category's colour, each channel 0..255.
struct CategoryRgb {
  int r;
  int g;
  int b;
};

// The colour of category index `category`: the colour-OBJ's vertex colour
// and the preview's colour of the category. An index outside 0..14 gets
// None's colour (black).
CategoryRgb categoryRgb(int category);

// Whether a category code carried in a float field truncates toward zero to
// an index in 0..14 (NaN does not), so that no later stage can index outside
// the category tables.
bool isCategoryCode(float code);

// Converts a category code carried in a float field to its index by
// truncation toward zero. A code whose index would fall outside 0..14, and
// NaN, give 0 (None), so the result always indexes the category tables.
int categoryIndex(float code);

}  // namespace roombox
