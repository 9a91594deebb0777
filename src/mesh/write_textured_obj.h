#pragma once

// Writes the rectangle mesh as basePath + outputPrefix + "-rect.obj" (vertex
// positions, one texture coordinate per vertex plus a spare 0.001 0.001,
// faces as 1-based vertex/texture index pairs), then its material file
// "-rect.obj.mtl" naming the texture image. Both files refer to each other by
// file name only: the part of the prefix after its last '/'. Stops the run
// when a file cannot be opened ("Cannot open", "Cannot make" for the material
// file) or written completely.
void writeTexturedObj();
