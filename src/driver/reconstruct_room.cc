#include "roombox/reconstruct_room.h"

#include "cuboids/cuboid_growth.h"
#include "cuboids/post_processing.h"
#include "mesh/rectangle_mesh.h"
#include "planes/plane_connection.h"
#include "planes/range_refinement.h"
#include "planes/room_boundary.h"
#include "roombox/error.h"
#include "roombox/scene_model.h"
#include "scene/scene_description.h"

#include <string>
#include <utility>

namespace roombox {

Reconstruction reconstructRoom(PlaneList planes, const cv::Mat& panorama,
                               const ViewConfig& views, const ReconstructionObserver& observer) {
  // Every stage relies on one equation per plane, and on plane counts for
  // which the mesh's vertex and rectangle counts fit in an int.
  if (planes.equations.size() != planes.planes.size()) {
    throw Error("The plane list holds " + std::to_string(planes.planes.size()) + " planes but " +
                std::to_string(planes.equations.size()) + " plane equations");
  }
  if (planes.planes.size() > static_cast<std::size_t>(kMaxPlanes)) {
    throw Error("The plane list holds more than " + std::to_string(kMaxPlanes) + " planes");
  }
  Reconstruction r;
  const auto begin = [&](ReconstructionStep step) {
    if (observer) observer(step, r);
  };
  r.planes = std::move(planes);
  std::vector<Plane>& list = r.planes.planes;

  begin(ReconstructionStep::kPlaneConnection);
  connectPlanes(r.planes.cubeResolution, list);

  begin(ReconstructionStep::kPlaneRangeRefinement);
  refinePlaneRanges(list);

  begin(ReconstructionStep::kRoomBoundary);
  r.room = computeRoomBoundary(list);

  begin(ReconstructionStep::kCuboidGrowth);
  r.cuboids = reconstructCuboids(list, r.planes.equations);

  begin(ReconstructionStep::kCuboidPostProcessing);
  r.cuboidFaces = clampCuboidsToRoom(r.room, r.cuboids);
  hideCoveredFaces(r.cuboids, r.cuboidFaces);

  begin(ReconstructionStep::kMeshGeneration);
  // The texture holds a band for each extra view the texture merge stacks;
  // texture coordinates must agree with it.
  const int bands = usableViewCount(views, ViewSlots::kTextures);
  r.rectangles = generateRectangleMesh(list, r.cuboids, r.cuboidFaces, panorama, bands);

  begin(ReconstructionStep::kSceneDescription);
  r.scene = buildSceneModel(list, r.cuboids, r.rectangles);
  r.sceneText = writeSceneDescription(r.scene, list, r.cuboids);
  return r;
}

}  // namespace roombox
