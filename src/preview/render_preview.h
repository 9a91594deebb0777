#pragma once

#include "roombox/reconstruction.h"
#include "roombox/room_acoustics.h"

#include <opencv2/core.hpp>

namespace roombox {

// The whole preview image: where its parts go, and their drawing.

// Where the parts of the preview image go.
struct PreviewLayout {
  cv::Size canvas;    // the whole image
  cv::Rect panorama;  // the scaled panorama with the overlay, at the top
  cv::Rect plan;      // the top-down plan, below it on the left
  cv::Rect legend;    // the legend, below it on the right
  cv::Rect acoustics;  // the reverberation chart, at the bottom (empty without one)
  cv::Rect decay;      // the decay curves, below the reverberation chart (empty without them)
};

// Lays out the preview of a panorama of `panorama` size. The panorama is
// drawn 2048 pixels wide when it is wider (scaled down: a larger image costs
// more to encode than it shows), as it is from 1024 to 2048 pixels, and 1024
// wide when narrower or empty, so that lines and text keep their size. Its
// height is scaled alike (half the width when empty), kept between an eighth
// of the width and the width. Below it a band three eighths of the width high
// (600 pixels at least) holds the plan and, in its right 30% (380 pixels at
// least), the legend.
// With `chart`, a strip of a sixth of the width (300 pixels at least) at
// the bottom holds the reverberation chart; with `decay` too, a strip of a
// quarter of the width (400 pixels at least) below it holds the decay
// curves.
PreviewLayout previewLayout(cv::Size panorama, bool chart = false, bool decay = false);

// Draws the preview image of room (8-bit BGR, laid out by previewLayout): the
// panorama scaled to the preview's width with the reconstruction drawn over
// it and the scene axes marked along its top, and below it the plan and the
// legend. panorama is the one the room was reconstructed from, 8-bit with 1,
// 3 (BGR) or 4 channels; an empty or other panorama leaves its place grey.
// With acoustics, the reverberation chart of the room goes at the bottom,
// and when acoustics->rir holds decay curves, their chart below it.
cv::Mat renderPreview(const Reconstruction& room, const cv::Mat& panorama,
                      const RoomAcoustics* acoustics = nullptr);

}  // namespace roombox
