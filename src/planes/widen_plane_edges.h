#pragma once

// Widens every plane (below planeCount, active or not) by margin on all four
// edges and clears its edge flags, ready for plane connection. edgeLinks is
// made to hold one record per plane here.
// Precondition: planes holds at least planeCount records.
void widenPlaneEdges(float margin);
