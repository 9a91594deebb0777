#include "roombox/categories.h"

namespace roombox {

const char* const CategoryNames[kCategoryCount] = {
    "None",   "Bed",   "Books", "Ceiling", "Chair",   "Floor", "Furniture", "Objects",
    "Picture", "Sofa", "Table", "TV",      "Unknown", "Wall",  "Window"};

const char* const MaterialNames[12] = {"None",    "Wood",     "Painted", "Paper",
                                       "Glass",   "Brick",    "Metal",   "Flat",
                                       "Plastic", "Textured", "Glossy",  "Shiny"};

}  // namespace roombox
