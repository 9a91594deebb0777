#include "cuboids/hide_faces_against.h"

namespace roombox {

void hideFacesAgainst(const Cuboid& a, const Cuboid& b, CuboidFaces& faces) {
  const bool coversX = b.minX <= a.minX && b.maxX >= a.maxX;
  const bool coversY = b.minY <= a.minY && b.maxY >= a.maxY;
  const bool coversZ = b.minZ <= a.minZ && b.maxZ >= a.maxZ;
  if ((a.minX == b.minX || a.minX == b.maxX) && coversY && coversZ) faces.minXShown = 0;
  if ((a.maxX == b.minX || a.maxX == b.maxX) && coversY && coversZ) faces.maxXShown = 0;
  if ((a.minY == b.minY || a.minY == b.maxY) && coversX && coversZ) faces.minYShown = 0;
  if ((a.maxY == b.minY || a.maxY == b.maxY) && coversX && coversZ) faces.maxYShown = 0;
  if ((a.minZ == b.minZ || a.minZ == b.maxZ) && coversX && coversY) faces.minZShown = 0;
  if ((a.maxZ == b.minZ || a.maxZ == b.maxZ) && coversX && coversY) faces.maxZShown = 0;
}

}  // namespace roombox
