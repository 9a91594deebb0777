#pragma once

#include "roombox/cuboid.h"
#include "roombox/reconstruction.h"

#include <opencv2/core.hpp>

#include <string>
#include <vector>

namespace roombox {

// What the preview draws of a reconstruction: its walls, floors, ceilings
// and boxes as named items with straight 3D edges.

// One straight edge of a drawn element, in scene units. hidden: every face
// of the box that the edge borders is left out of the mesh by face hiding.
struct PreviewEdge {
  cv::Point3d a;
  cv::Point3d b;
  bool hidden = false;
};

// One element of the reconstruction as the preview draws it: a wall, floor
// or ceiling rectangle, or a box, named as the scene description names it
// ("Bed_1").
struct PreviewItem {
  std::string name;
  int category = 0;                // category index 0..14
  bool box = false;                // false: a wall, floor or ceiling rectangle
  std::vector<PreviewEdge> edges;  // 4 for a rectangle, 12 for a box
  cv::Point3d centre;
  cv::Point2d footprintMin;  // smallest x and y
  cv::Point2d footprintMax;  // largest x and y
};

// Returns the twelve edges of box: four along x, then four along y, then four
// along z. An edge is hidden when both faces it borders are switched off in
// shown; an edge with at least one face in the mesh is not.
std::vector<PreviewEdge> boxEdges(const Cuboid& box, const CuboidFaces& shown);

// Returns what the preview draws of room: one item per entry of room.scene,
// in group order, so exactly the walls, floors, ceilings and boxes the run
// writes, under their entry names. A wall, floor or ceiling gets the four
// edges of its plane's rectangle; a box its twelve edges, those whose faces
// are all switched off (room.cuboidFaces) hidden. An entry whose source lies
// outside the reconstruction's lists is left out. Throws Error naming the
// item when a corner is not a finite number (it has no direction to be
// drawn in).
std::vector<PreviewItem> collectPreviewItems(const Reconstruction& room);

}  // namespace roombox
