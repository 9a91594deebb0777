#include "roombox/categories.h"

namespace roombox {

const char* const CategoryNames[kCategoryCount] = {
    "None",   "Bed",   "Books", "Ceiling", "Chair",   "Floor", "Furniture", "Objects",
    "Picture", "Sofa", "Table", "TV",      "Unknown", "Wall",  "Window"};

const char* const MaterialNames[12] = {"None",    "Wood",     "Painted", "Paper",
                                       "Glass",   "Brick",    "Metal",   "Flat",
                                       "Plastic", "Textured", "Glossy",  "Shiny"};

namespace {

const CategoryRgb kCategoryPalette[kCategoryCount] = {
    {0, 0, 0},        // None
    {128, 0, 0},      // Bed
    {0, 128, 0},      // Books
    {128, 128, 0},    // Ceiling
    {0, 0, 128},      // Chair
    {128, 0, 128},    // Floor
    {0, 128, 128},    // Furniture
    {128, 128, 128},  // Objects
    {255, 128, 128},  // Picture
    {128, 255, 128},  // Sofa
    {255, 255, 128},  // Table
    {128, 128, 255},  // TV
    {255, 128, 255},  // Unknown
    {128, 255, 255},  // Wall
    {255, 255, 255},  // Window
};

static_assert(kCategoryCount == sizeof(kCategoryPalette) / sizeof(kCategoryPalette[0]),
              "one colour per category");

// The index itself when it names a category, otherwise None.
int knownCategory(int category) {
  return category >= 0 && category < kCategoryCount ? category : kCategoryNone;
}

}  // namespace

const char* categoryName(int category) { return CategoryNames[knownCategory(category)]; }

CategoryRgb categoryRgb(int category) { return kCategoryPalette[knownCategory(category)]; }

bool isCategoryCode(float code) {
  return code > -1.0f && code < static_cast<float>(kCategoryCount);
}

int categoryIndex(float code) {
  // Compare before converting: NaN and out-of-range values never reach the
  // integer conversion.
  if (!isCategoryCode(code)) return 0;
  return static_cast<int>(code);
}

}  // namespace roombox
