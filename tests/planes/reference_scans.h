#pragma once

// Straightforward all-pairs versions of the plane stages, kept as the oracle
// for the indexed ones: same results, bit for bit, on any plane list.

// Plane connection over sceneStore, scanning every plane for every plane.
void referenceConnectPlanes();
void referenceConnectPlane(int index);

// Plane range refinement over sceneStore, scanning every plane for every
// plane.
void referenceRefinePlaneRanges();
void referenceRefinePlaneRange(int index);
