#pragma once

// Appends cuboid cuboidIndex to the mesh: its 8 corners as vertices
// vertexCount+0..7 (corner 0 = (minX, minY, minZ), 1 = (maxX, minY, minZ),
// 2 = (maxX, minY, maxZ), 3 = (minX, minY, maxZ), 4..7 the same at maxY),
// then one face row per shown face in the order minY, maxY, minX, maxZ,
// maxX, minZ, each wound with its right-hand normal pointing out of the box.
// Colours come from the cuboid's category. A cuboid without a face-switch
// record counts as having all faces shown. Advances vertexCount by 8 and
// rectangleCount by the number of faces appended; an index outside the
// cuboid list appends nothing.
void emitCuboidRectangles(int cuboidIndex);
