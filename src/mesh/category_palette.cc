#include "mesh/category_palette.h"

namespace roombox {

const int CategoryPalette[15][3] = {
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

}  // namespace roombox
