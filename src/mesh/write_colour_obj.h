#pragma once

// Writes the rectangle mesh as basePath + outputPrefix +
// "-rect-Object-colour.obj": every vertex with its colour scaled to 0..1,
// then all faces (1-based) in one group "default". Stops the run when the
// file cannot be opened or written completely.
void writeColourObj();
