#pragma once

// Copies the first planeCount planes and equations into planeSnapshot and
// equationSnapshot, resized to planeCount, so that cuboid growth reads a
// fixed copy of the plane list.
// Precondition: planes and equations hold at least planeCount records.
void snapshotPlanes();
