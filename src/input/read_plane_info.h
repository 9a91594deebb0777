#pragma once

// Reads the main plane info file (basePath + planeInfoFile) and, after it, the
// plane info file of every extra view (basePath + viewPlaneFiles[k] for k below
// viewCount) into the scene store: planes, equations, edgeLinks, planeSource,
// planeCount, mainPlaneCount, cubeResolution and the per-view counts,
// resolutions and first-plane indexes. Every plane's normal is turned toward
// the origin as it is read.
//
// A file that cannot be opened, a view whose cube resolution differs from the
// main file's, or a malformed file ends the run with a message and the
// failure status. Malformed are: a plane count that is missing, not a whole
// number, negative or beyond INT_MAX (also for all files together); a cube
// resolution that is missing or not a finite number; and a plane record that
// ends early, holds a token that is not a finite number, or whose category
// truncated toward zero lies outside 0..14.
void readPlaneInfo();
