#include "preview/preview_style.h"

#include <algorithm>
#include <cmath>

namespace roombox {

PreviewStyle previewStyle(int width) {
  const double scale = std::max(width, 1) / 2048.0;
  const double textScale = std::max(scale, 0.8);
  PreviewStyle style;
  style.edgeThickness = std::max(2, static_cast<int>(std::lround(2.0 * scale)));
  style.haloThickness = style.edgeThickness + 2;
  style.roomThickness = std::max(1, static_cast<int>(std::lround(1.0 * scale)));
  style.dash = static_cast<float>(9.0 * scale);
  style.gap = static_cast<float>(6.0 * scale);
  style.labelScale = 0.5 * textScale;
  style.textScale = 0.6 * textScale;
  style.textThickness = 1;
  style.padding = std::max(2, static_cast<int>(std::lround(3.0 * textScale)));
  return style;
}

}  // namespace roombox
