#pragma once

// Ends plane connection: pulls every edge of an active plane (below
// planeCount) whose flag in edgeLinks is still 0 back by margin, undoing the
// widening of widenPlaneEdges there. Inactive planes stay as they are.
// Precondition: planes and edgeLinks hold at least planeCount records.
void retractUnlinkedEdges(float margin);
