#pragma once

#include "preview/preview_style.h"
#include "roombox/room_acoustics.h"

#include <opencv2/core.hpp>

namespace roombox {

// Draws the reverberation time per octave band (125 Hz to 8 kHz) of
// acoustics into area: one pair of bars per band, Sabine and Eyring, on a
// scale of seconds that fits the longest time, with the room's volume and
// mean absorption at 1 kHz in the title and the legend on the title's line
// (below it when the title is too long for both, as on narrow previews).
void drawReverberationChart(const RoomAcoustics& acoustics, const PreviewStyle& style,
                            cv::Mat& area);

}  // namespace roombox
