#pragma once

// Grows one box from every object plane whose normal lies exactly along its
// own axis (type 1, 2 or 3 with a normal component of exactly +1 or -1),
// in plane-list order, active or not. First copies every plane and equation
// into planeSnapshot and equationSnapshot (resized to planeCount), then
// appends the boxes to cuboids from the current cuboidCount on. Returns the
// new cuboidCount.
// Precondition: planes and equations hold at least planeCount records.
int reconstructCuboids();
