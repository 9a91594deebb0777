#include "preview/chart_axes.h"

#include "common/c_locale.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace roombox {

int chartPadding(int width) { return std::max(8, width / 64); }

int chartLineHeight(const PreviewStyle& style) {
  return static_cast<int>(std::lround(32.0 * style.textScale / 0.6));
}

double axisStep(double longest, double finest) {
  const double steps[] = {0.001, 0.002, 0.0025, 0.005, 0.01, 0.02, 0.025, 0.05, 0.1,  0.2,
                          0.25,  0.5,   1.0,    2.0,   2.5,  5.0,  10.0,  20.0, 50.0, 100.0};
  for (double step : steps) {
    if (step >= finest && longest / step <= 6.0) return step;
  }
  return std::pow(10.0, std::ceil(std::log10(longest / 6.0)));
}

std::string chartNumber(const char* format, double value) {
  CLocaleScope cLocale;
  char text[64];
  std::snprintf(text, sizeof(text), format, value);
  return text;
}

}  // namespace roombox
