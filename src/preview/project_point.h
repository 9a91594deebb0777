#pragma once

#include <opencv2/core.hpp>

namespace roombox {

// Returns where the direction from the origin to p falls in an
// equirectangular image of `image` size, in OpenCV's drawing coordinates
// (pixel centres at whole numbers): the projection the baked atlas samples
// with (panoramaPosition), so that the overlay lies on the atlas's pixel
// convention. Column 0 looks along +x, row 0 is the +z pole. An image
// without pixels gives (0, 0).
cv::Point2f projectPoint(const cv::Point3d& p, cv::Size image);

}  // namespace roombox
