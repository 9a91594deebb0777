#pragma once

// Reads the main plane info file (basePath + planeInfoFile) and, after it, the
// plane info file of every extra view (basePath + viewPlaneFiles[k] for k below
// viewCount) into the scene store: planes, equations, edgeLinks, planeSource,
// planeCount, mainPlaneCount, cubeResolution and the per-view counts,
// resolutions and first-plane indexes. Every plane's normal is turned toward
// the origin as it is read.
//
// A file that cannot be opened, a view whose cube resolution differs from the
// main file's, or a malformed file (see readPlaneInfoHeader and
// readPlaneRecords) ends the run with a message and the failure status.
void readPlaneInfo();
