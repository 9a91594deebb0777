#pragma once

#include "roombox/cuboid.h"
#include "roombox/reconstruction.h"

#include <string>
#include <vector>

namespace roombox {

// Writes the cuboid text file of room at path: room.room, room.cuboids and
// the cube resolution room.planes.cubeResolution, as the form below.
void writeCuboidText(const Reconstruction& room, const std::string& path);

// Writes the cuboid text file at path: the number of boxes (cuboids + 1)
// and the cube resolution, the room box as kind 2 with category 5 (Floor)
// and material 0, then one line of nine values per cuboid (kind, bounds as
// min/max per axis, category, material). Throws Error("Cannot open %s\n")
// or Error("Cannot write %s\n") when the file cannot be opened or written
// completely.
void writeCuboidText(const RoomBox& room, const std::vector<Cuboid>& cuboids,
                     float cubeResolution, const std::string& path);

}  // namespace roombox
