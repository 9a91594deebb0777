#pragma once

#include <opencv2/core.hpp>

namespace roombox {

// Writes to bgr[3 k..3 k + 2], k < count, the colour of the 8-bit BGR
// panorama at the continuous pixel position (px[k], py[k]) (pixel centres at
// whole numbers, positions from -1 to width and height), interpolated
// bilinearly between the four nearest pixels. Columns wrap around (column
// -1 is the last one, so the seam at azimuth 0 has no edge); rows are held
// within the image at the poles.
void sampleBilinear(const cv::Mat& panorama, const float* px, const float* py, int count,
                    unsigned char* bgr);

}  // namespace roombox
