#pragma once

namespace roombox {

// A pixel of the panorama: row 0 is the top (+z pole), col 0 is the +x
// direction.
struct PanoramaPixel {
  int row;
  int col;
};

// Returns the pixel of the equirectangular panorama of width x height
// pixels, centred at the origin, that the direction
// from the origin to (x, y, z) hits, clamped into the image. The polar angle
// from +z selects the row, the azimuth atan2(-y, x) taken into [0, 2 pi)
// the column. The point at the origin maps to row 0; an undefined angle
// (NaN) gives row 0 or column 0. An image without pixels gives (0, 0).
PanoramaPixel mapToPanorama(float x, float y, float z, int width, int height);

}  // namespace roombox
