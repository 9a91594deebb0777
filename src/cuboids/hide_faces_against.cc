#include "cuboids/hide_faces_against.h"

namespace roombox {

void hideFacesAgainst(const Cuboid& a, const Cuboid& b, bool bIsLater, CuboidFaces& faces) {
  const bool coversX = b.minX <= a.minX && b.maxX >= a.maxX;
  const bool coversY = b.minY <= a.minY && b.maxY >= a.maxY;
  const bool coversZ = b.minZ <= a.minZ && b.maxZ >= a.maxZ;
  // Equal ranges on an axis: a face on the other two axes is then the same
  // rectangle as b's face in its plane.
  const bool sameX = b.minX == a.minX && b.maxX == a.maxX;
  const bool sameY = b.minY == a.minY && b.maxY == a.maxY;
  const bool sameZ = b.minZ == a.minZ && b.maxZ == a.maxZ;
  // A same-side face of a later box that is the very same rectangle leaves
  // a's face shown; the later box's copy is the one hidden.
  const bool keepX = bIsLater && sameY && sameZ;
  const bool keepY = bIsLater && sameX && sameZ;
  const bool keepZ = bIsLater && sameX && sameY;
  if (coversY && coversZ) {
    if (a.minX == b.maxX || (a.minX == b.minX && !keepX)) faces.minXShown = 0;
    if (a.maxX == b.minX || (a.maxX == b.maxX && !keepX)) faces.maxXShown = 0;
  }
  if (coversX && coversZ) {
    if (a.minY == b.maxY || (a.minY == b.minY && !keepY)) faces.minYShown = 0;
    if (a.maxY == b.minY || (a.maxY == b.maxY && !keepY)) faces.maxYShown = 0;
  }
  if (coversX && coversY) {
    if (a.minZ == b.maxZ || (a.minZ == b.minZ && !keepZ)) faces.minZShown = 0;
    if (a.maxZ == b.minZ || (a.maxZ == b.maxZ && !keepZ)) faces.maxZShown = 0;
  }
}

}  // namespace roombox
