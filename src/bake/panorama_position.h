#pragma once

namespace roombox {

// The continuous pixel positions (px[k], py[k]), k < count, of the
// directions from the origin to the points start + k step in an
// equirectangular panorama of width x height pixels: pixel (row, col) is
// centred on px = col, py = row, at polar angle (row + 0.5) pi / height from
// +z and azimuth (col + 0.5) 2 pi / width, measured from +x towards -y. px
// lies in [-0.5, width - 0.5], py in [-0.5, height - 0.5] (up to the
// angles' 2e-6 radians of error). The origin itself gives the top row.
// A whole row at once, so that the compiler vectorises the angles.
void panoramaPositions(const float start[3], const float step[3], int count, int width,
                       int height, float* px, float* py);

}  // namespace roombox
