#pragma once

#include "roombox/plane.h"
#include "roombox/reconstruction.h"
#include "roombox/view_config.h"

#include <opencv2/core.hpp>

#include <functional>

namespace roombox {

// The steps of a reconstruction, in the order they run.
enum class ReconstructionStep {
  kPlaneConnection,
  kPlaneRangeRefinement,
  kRoomBoundary,
  kCuboidGrowth,
  kCuboidPostProcessing,
  kMeshGeneration,
  kSceneDescription,
};

// Called as each step begins, with the reconstruction as far as it has got
// (the plane list once connection begins, the room box once cuboid growth
// begins, the cuboids once post-processing begins).
using ReconstructionObserver =
    std::function<void(ReconstructionStep step, const Reconstruction& soFar)>;

// Rebuilds the room from its planes and the panorama seen from its origin:
// plane connection and range refinement on a copy of planes, the room box,
// one cuboid grown from every object plane, clamped to the room with its
// covered faces hidden, the rectangle mesh with texture coordinates into the
// panorama (views.viewCount bands of extra views below it), and the scene
// description. observer, when set, is told of every step as it begins.
// planes is taken by value: a caller done with its list can move it in.
// Reads nothing but its arguments and keeps no state, so reconstructions may
// run on several threads at once.
Reconstruction reconstructRoom(PlaneList planes, const cv::Mat& panorama,
                               const ViewConfig& views = ViewConfig{},
                               const ReconstructionObserver& observer = nullptr);

}  // namespace roombox
