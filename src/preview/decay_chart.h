#pragma once

#include "preview/preview_style.h"
#include "roombox/room_acoustics.h"

#include <opencv2/core.hpp>

namespace roombox {

// Draws the energy decay curves of an impulse response (rir.decayDb, one per
// octave band, 125 Hz to 8 kHz) into area: level in dB from 0 at the top
// down to kDecayChartFloorDb at the bottom, time from 0 to the response's
// length, each band in its colour with a legend on the right. A band
// without energy (a curve of 0 dB throughout) is left out and marked
// "none" in the legend; a curve stops where it falls below the floor.
void drawDecayChart(const RirSummary& rir, const PreviewStyle& style, cv::Mat& area);

// The lowest level the decay chart shows.
constexpr double kDecayChartFloorDb = -60.0;

// Where drawDecayChart draws the curves in an area of `size`: 0 dB along the
// rectangle's top, kDecayChartFloorDb along its bottom, time 0 at its left
// and the response's length at its right. Empty when the area is too small.
cv::Rect decayPlotArea(cv::Size size, const PreviewStyle& style);

}  // namespace roombox
