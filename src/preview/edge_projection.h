#pragma once

#include <opencv2/core.hpp>

#include <vector>

namespace roombox {

// Points and straight 3D edges seen from the origin, projected into an
// equirectangular image as the lines the preview draws.

// Polylines in OpenCV's drawing coordinates, one vector of points per piece.
using Polylines = std::vector<std::vector<cv::Point2f>>;

// Returns where the direction from the origin to p falls in an
// equirectangular image of `image` size, in OpenCV's drawing coordinates
// (pixel centres at whole numbers): the projection the baked atlas samples
// with (panoramaPosition), so that the overlay lies on the atlas's pixel
// convention. Column 0 looks along +x, row 0 is the +z pole. An image
// without pixels gives (0, 0).
cv::Point2f projectPoint(const cv::Point3d& p, cv::Size image);

// Projects the straight 3D segment from a to b into an equirectangular image
// of `image` size (projectPoint) as polylines that follow its curve: the
// segment is halved until every step is at most 64 pixels long and passes
// within 0.4 pixels of the projection of its middle.
// Where the segment crosses column 0 the line is broken: the piece that
// leaves the image on one side ends just past that border, and the next
// piece starts just past the other, so both reach the border and nothing is
// drawn across the image. A jump that no sampling closes (a segment through
// a pole or the origin) breaks the line too. Pieces have two points or more;
// a segment whose points all map to one place gives one piece of repeated
// points.
Polylines projectSegment(const cv::Point3d& a, const cv::Point3d& b, cv::Size image);

}  // namespace roombox
