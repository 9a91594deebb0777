#pragma once

namespace roombox {

// Sizes of the preview's lines and text, in pixels, for its width.
struct PreviewStyle {
  int edgeThickness;  // edges of boxes, walls, floors and ceilings
  int haloThickness;  // the dark line under each edge, so it shows on any panorama
  int roomThickness;  // edges of the room box
  float dash;         // dashes of hidden edges
  float gap;
  double labelScale;  // Hershey simplex font scale of the name labels
  double textScale;   // of the plan's and legend's text
  int textThickness;
  int padding;  // around label text
};

// The style of a preview image `width` pixels wide: sizes made for 2048
// pixels, scaled with the width (text no smaller than at 1640 pixels, so
// that it stays readable).
PreviewStyle previewStyle(int width);

}  // namespace roombox
