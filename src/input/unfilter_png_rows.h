#pragma once

namespace roombox {

// Undoes the PNG row filters of an 8-bit truecolour image in place and
// leaves its pixels in OpenCV's channel order. On entry buffer holds the
// image's inflated scanlines: height rows, each one filter-type byte followed
// by width pixels of channels bytes (3: red, green, blue; 4: the same and an
// alpha sample, which is dropped). On return its first height * width * 3
// bytes are the image's rows of blue, green, red pixels. Returns false when a
// row names a filter type other than 0 to 4 (None, Sub, Up, Average, Paeth);
// the buffer then holds partly undone rows.
bool unfilterPngRows(unsigned char* buffer, int width, int height, int channels);

}  // namespace roombox
