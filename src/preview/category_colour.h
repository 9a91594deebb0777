#pragma once

#include <opencv2/core.hpp>

namespace roombox {

// The colour of category index `category` as OpenCV draws it (blue, green,
// red): the colour the colour-OBJ gives its vertices (CategoryPalette).
// An index outside 0..14 gets the colour of None.
cv::Scalar categoryColour(int category);

}  // namespace roombox
