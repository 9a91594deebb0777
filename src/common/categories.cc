#include "roombox/categories.h"

namespace roombox {

const char* const CategoryNames[kCategoryCount] = {
    "None",   "Bed",   "Books", "Ceiling", "Chair",   "Floor", "Furniture", "Objects",
    "Picture", "Sofa", "Table", "TV",      "Unknown", "Wall",  "Window"};

const char* const MaterialNames[12] = {"None",    "Wood",     "Painted", "Paper",
                                       "Glass",   "Brick",    "Metal",   "Flat",
                                       "Plastic", "Textured", "Glossy",  "Shiny"};

int categoryIndex(float code) {
  // Compare before converting: NaN and out-of-range values never reach the
  // integer conversion.
  if (!(code > -1.0f && code < static_cast<float>(kCategoryCount))) return 0;
  return static_cast<int>(code);
}

}  // namespace roombox
