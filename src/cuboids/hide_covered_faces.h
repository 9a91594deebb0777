#pragma once

// Clears the shown-switch of every box face (below cuboidCount) that lies in
// the plane of a face of another box which covers it: the other box's range
// contains the face's range on both in-plane axes, bounds included. Which
// side of the face the other box lies on does not matter. Only switches in
// cuboidFaces change; box bounds stay as they are.
// Precondition: cuboids and cuboidFaces hold at least cuboidCount records.
void hideCoveredFaces();
