#pragma once

#include "preview/preview_items.h"
#include "preview/preview_style.h"
#include "roombox/cuboid.h"

#include <opencv2/core.hpp>

#include <vector>

namespace roombox {

// The reconstruction drawn over the panorama it was made from.

// Draws the reconstruction over `panorama`, an equirectangular image seen
// from the origin (changed in place): the twelve edges of the room box in
// white, the edges of every item in its category colour, and each item's
// name in a label at the projection of its centre (boxes placed first, so
// that theirs move least). Every line follows the projection of its straight
// 3D edge, is broken at column 0 and has a dark halo, so that it shows on
// light and dark panoramas alike; edges of hidden faces only are dashed.
// A room box whose minimum exceeds its maximum is not drawn.
void drawPanoramaOverlay(const std::vector<PreviewItem>& items, const RoomBox& room,
                         const PreviewStyle& style, cv::Mat& panorama);

// Marks along the top of an equirectangular panorama the four directions of
// the scene axes, as the plan shows them: +x at column 0, -y a quarter of
// the width on, -x at the middle and +y at three quarters, each with a short
// tick and its name.
void drawDirectionMarks(cv::Mat& panorama, const PreviewStyle& style);

}  // namespace roombox
