#pragma once

// Writes the rectangle mesh as basePath + outputPrefix + "-rect-Object.off",
// a coloured OFF file: every vertex with its colour (0..255) and alpha (0
// where the panorama is black), then every face as "4" and its 0-based
// vertex indices. Stops the run when the file cannot be opened or written
// completely.
void writeObjectOff();
