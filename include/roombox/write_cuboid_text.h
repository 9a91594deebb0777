#pragma once

#include "roombox/reconstruction.h"

#include <string>

namespace roombox {

// Writes the cuboid text file of room at path: the number of boxes
// (room.cuboids + 1) and the cube resolution room.planes.cubeResolution,
// the room box room.room as kind 2 with category 5 (Floor) and material 0,
// then one line of nine values per cuboid (kind, bounds as min/max per axis,
// category, material). Throws Error("Cannot open %s") or Error("Cannot
// write %s") when the file cannot be opened or written completely.
void writeCuboidText(const Reconstruction& room, const std::string& path);

}  // namespace roombox
