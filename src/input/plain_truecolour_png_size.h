#pragma once

#include <cstdio>

namespace roombox {

// Walks the chunks of the open file from its current position (its start)
// and returns its size in bytes when it is a well-formed PNG image whose
// decoded pixels are exactly its stored samples: 8-bit truecolour without
// transparency (colour type 2, no tRNS chunk) of width x height pixels, with
// no Exif data (which could make a decoder turn the image) and no animation,
// ending right after its IEND chunk. Returns -1 for any other file. Reads
// only the chunk headers and the IHDR data; CRCs are not checked, so the
// caller must know that the file decodes (it has just been decoded).
long long plainTruecolourPngSize(FILE* file, int width, int height);

}  // namespace roombox
