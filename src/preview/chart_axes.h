#pragma once

#include "preview/preview_style.h"

#include <string>

namespace roombox {

// The scales and numbers of the preview's charts.

// The margin around a chart `width` pixels wide.
int chartPadding(int width);

// The height of a line of the style's text in a chart (32 pixels at 2048
// pixels wide).
int chartLineHeight(const PreviewStyle& style);

// A round step for an axis from 0 to `longest` (positive): the first of
// 0.001, 0.002, 0.0025, 0.005, 0.01, 0.02, 0.025, 0.05, 0.1, 0.2, 0.25, 0.5,
// 1, 2, 2.5, 5, 10, 20, 50 and 100
// that is at least `finest` and cuts the axis into at most six steps; a
// power of ten when none does.
double axisStep(double longest, double finest);

// value printed by the printf format `format` (one double), in the C locale
// whatever the process's locale is.
std::string chartNumber(const char* format, double value);

}  // namespace roombox
