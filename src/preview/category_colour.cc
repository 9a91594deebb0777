#include "preview/category_colour.h"

#include "mesh/rectangle_mesh.h"
#include "roombox/categories.h"

namespace roombox {

cv::Scalar categoryColour(int category) {
  const int c = category >= 0 && category < kCategoryCount ? category : 0;
  return cv::Scalar(CategoryPalette[c][2], CategoryPalette[c][1], CategoryPalette[c][0]);
}

}  // namespace roombox
