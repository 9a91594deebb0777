#pragma once

#include "roombox/view_config.h"

#include <string>

namespace roombox {

// Reads the affine transform file of an extra view at path: three rows of
// four numbers, the 3 x 4 matrix of the view. Only the first twelve numbers
// are read. Throws Error for a file that cannot be opened ("The file %s was
// not opened\n") or whose first twelve tokens are not all finite numbers
// ("The file %s is malformed: <detail>\n").
ViewTransform readAffineFile(const std::string& path);

}  // namespace roombox
