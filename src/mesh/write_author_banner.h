#pragma once

#include <cstdio>

namespace roombox {

// Writes the four-line banner that opens a mesh file: a row of '#', "#",
// "# <fileKind> file created by roombox" and "#", each with its line feed.
// fileKind names the format ("obj", "off").
void writeAuthorBanner(const char* fileKind, FILE* file);

}  // namespace roombox
