#pragma once

#include "roombox/cuboid.h"
#include "roombox/mesh_store.h"
#include "roombox/plane.h"

#include <string>
#include <vector>

namespace roombox {

// The name the scene description gives the entry of a rectangle group: its
// category name and instance number joined by '_' ("Wall_2", "Bed_1"). The
// group's category must index the category names.
std::string sceneEntryName(const RectangleGroup& group);

// The acoustic coefficients the scene description gives every entry.
constexpr double kSceneAbsorption = 0.05;
constexpr double kSceneScattering = 0.02;

// The material names the scene description lists for a rectangle group, in
// its order: for a box, "Unknown" when its material code is 0, otherwise the
// names of its label's material flags; for a floor or ceiling, the flags but
// Painted, then "Painted"; for a wall, the flags but Painted and Brick, then
// "Painted" and "Brick". source is cuboids[group.sourceIndex] or
// planes[group.sourceIndex], as the group's source says; the caller checks
// that it exists.
std::vector<const char*> sceneEntryMaterials(const RectangleGroup& group, const GroupLabel& label,
                                             const std::vector<Plane>& planes,
                                             const std::vector<Cuboid>& cuboids);

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
