#pragma once

#include "roombox/cuboid.h"
#include "roombox/mesh_store.h"
#include "roombox/plane.h"

#include <string>
#include <vector>

namespace roombox {

// Builds the JSON scene description of the reconstructed scene and returns
// its text: one entry per group of mesh generation whose source is a box,
// then one per group whose source is a wall, floor or ceiling plane, each in
// group order, named, categorised and given materials from the group and its
// label, with the geometry of its source (cuboids[sourceIndex] or
// planes[sourceIndex]). The text is never cut off. Throws Error for a group
// without a label, or whose category or source does not exist, which mesh
// generation never makes.
std::string writeSceneDescription(const std::vector<Plane>& planes,
                                  const std::vector<Cuboid>& cuboids,
                                  const std::vector<RectangleGroup>& groups,
                                  const std::vector<GroupLabel>& groupLabels);

}  // namespace roombox
