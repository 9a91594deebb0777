#pragma once

namespace roombox {

// The three ways the mesh files write a rectangle.
enum class FaceRowStyle {
  kObj,          // "f %lld %lld %lld %lld\n" of the 1-based indices
  kTexturedObj,  // "f %lld/%lld %lld/%lld %lld/%lld %lld/%lld\n", each 1-based index twice
  kOff,          // "4 %d %d %d %d\n" of the 0-based indices
};

// Writes the line of one rectangle, whose four 0-based vertex indices are
// corners[0..3], at out in the given style, exactly as the printf formats
// named there would, and returns the position just past its line feed. out
// must have room for 128 characters.
char* formatFaceRow(const int* corners, FaceRowStyle style, char* out);

}  // namespace roombox
