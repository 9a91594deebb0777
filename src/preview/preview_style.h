#pragma once

#include "preview/edge_projection.h"

#include <opencv2/core.hpp>

#include <string>
#include <vector>

namespace roombox {

// How the preview draws: its colours, the sizes of its lines and text for
// the image's width, and the lines, dashes and outlined text every part of
// it is made of.

// Colours of the preview's own marks (blue, green, red).
const cv::Scalar kPreviewBackground(38, 38, 38);  // plan and legend
const cv::Scalar kPreviewHalo(20, 20, 20);        // under lines and labels
const cv::Scalar kPreviewText(235, 235, 235);
const cv::Scalar kPreviewFaint(70, 70, 70);      // the plan's grid
const cv::Scalar kPreviewRoom(255, 255, 255);    // the room box
const cv::Scalar kPreviewCapture(60, 220, 255);  // the capture point and column 0

// Fractional bits of the fixed-point coordinates the preview draws with.
constexpr int kDrawShift = 4;

// Sizes of the preview's lines and text, in pixels, for its width.
struct PreviewStyle {
  int edgeThickness;  // edges of boxes, walls, floors and ceilings
  int haloThickness;  // the dark line under each edge, so it shows on any panorama
  int roomThickness;  // edges of the room box
  float dash;         // dashes of hidden edges
  float gap;
  double labelScale;  // Hershey simplex font scale of the name labels
  double textScale;   // of the plan's and legend's text
  int textThickness;
  int padding;  // around label text
};

// The style of a preview image `width` pixels wide: sizes made for 2048
// pixels, scaled with the width (text no smaller than at 1640 pixels, so
// that it stays readable).
PreviewStyle previewStyle(int width);

// The colour of category index `category` as OpenCV draws it (blue, green,
// red): categoryRgb, the colour the colour-OBJ gives its vertices.
// An index outside 0..14 gets the colour of None.
cv::Scalar categoryColour(int category);

// The perceived brightness (0..255) of colour (blue, green, red), which
// decides whether dark or light marks stand out against it.
double perceivedBrightness(const cv::Scalar& colour);

// p rounded to fixed-point drawing coordinates with `shift` fractional bits
// (0 to 8; 0: whole pixels), each coordinate held within a million pixels
// of the image's origin (far outside any image, far from the limits of an
// int); NaN counts as 0.
cv::Point fixedPoint(const cv::Point2d& p, int shift = kDrawShift);

// Draws every piece of `pieces` on image as an open polyline of `colour`,
// `thickness` pixels wide, placed to a sixteenth of a pixel; anti-aliased
// unless `smooth` is false (a quarter of the time, for the dark halos under
// lines, whose own edges the line drawn over them hides).
void drawPolylines(cv::Mat& image, const Polylines& pieces, const cv::Scalar& colour, int thickness,
                   bool smooth = true);

// Cuts the polyline `line` into dashes: pieces `dash` pixels long along the
// line, separated by gaps `gap` pixels long, beginning with a dash. A dash or
// gap length that is not positive gives the line whole.
Polylines dashPolyline(const std::vector<cv::Point2f>& line, float dash, float gap);

// Draws words in the style's text font with the left end of their baseline
// at `at`, in colour over a dark halo, so that they show on any background.
void drawHaloText(cv::Mat& image, const std::string& words, const cv::Point& at,
                  const PreviewStyle& style, const cv::Scalar& colour);

}  // namespace roombox
