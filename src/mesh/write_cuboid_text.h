#pragma once

// Writes basePath + outputPrefix + "_cuboid.txt": the number of boxes
// (cuboidCount + 1) and the cube resolution, the room box as kind 2 with
// category 5 (Floor) and material 0, then one line of nine values per
// cuboid (kind, bounds as min/max per axis, category, material). Stops the
// run when the file cannot be opened or written completely.
void writeCuboidText();
