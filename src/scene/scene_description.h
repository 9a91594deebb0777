#pragma once

#include "roombox/cuboid.h"
#include "roombox/plane.h"
#include "roombox/scene_model.h"

#include <string>
#include <vector>

namespace roombox {

// The acoustic coefficients the scene description gives every entry.
constexpr double kSceneAbsorption = 0.05;
constexpr double kSceneScattering = 0.02;

// Builds the JSON scene description of the reconstructed scene and returns
// its text: one entry per entry of scene, in its order, under its name with
// its category and materials, and the geometry of its source
// (cuboids[sourceIndex] for an object, planes[sourceIndex] for a wall, floor
// or ceiling). The text is never cut off. Throws Error for an entry whose
// source is not in its list, which buildSceneModel never makes.
std::string writeSceneDescription(const SceneModel& scene, const std::vector<Plane>& planes,
                                  const std::vector<Cuboid>& cuboids);

}  // namespace roombox
