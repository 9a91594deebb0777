#pragma once

#include <opencv2/core.hpp>

#include <string>
#include <vector>

namespace roombox {

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

}  // namespace roombox
