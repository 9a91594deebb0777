#pragma once

#include <string>

// Reads the affine transform file of extra view `view` (0..3), basePath +
// fileName: three rows of four numbers, the 3 x 4 matrix of the view, into
// sceneStore.viewTransforms[view], and prints it as "Transform matrix" and one
// line per row. Only the first twelve numbers are read.
//
// A file that cannot be opened, or whose first twelve tokens are not all
// finite numbers, ends the run with a message and the failure status before
// anything is stored or printed.
void readAffineFile(int view, const std::string& fileName);
