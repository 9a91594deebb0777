#pragma once

#include "roombox/cuboid.h"
#include "roombox/mesh_store.h"
#include "roombox/plane.h"

#include <vector>

namespace roombox {

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

}  // namespace roombox
