#pragma once

#include "roombox/cuboid.h"
#include "roombox/mesh_store.h"
#include "roombox/plane.h"
#include "roombox/scene_model.h"

#include <string>
#include <vector>

namespace roombox {

// Everything a reconstruction produces, for the writers and for callers.
struct Reconstruction {
  PlaneList planes;  // after plane connection and range refinement
  RoomBox room;
  std::vector<Cuboid> cuboids;          // clamped to the room
  std::vector<CuboidFaces> cuboidFaces;  // one per cuboid
  RectangleMesh rectangles;             // mesh, groups and group labels
  SceneModel scene;                     // the named entries, in the scene description's order
  std::string sceneText;                // the JSON scene description
};

}  // namespace roombox
