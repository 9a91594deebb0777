#pragma once

#include "roombox/reconstruction.h"
#include "roombox/room_acoustics.h"

#include <opencv2/core.hpp>

#include <string>

namespace roombox {

// Writes a picture of the reconstruction as a PNG image at path, for a person
// to check at a glance whether the boxes fit the room. At the top, the
// panorama the room was reconstructed from (scaled to 2048 pixels wide when
// wider, 1024 when narrower) with every wall, floor, ceiling and box of the
// mesh drawn over it along its projected edges, in its category's colour,
// each named by a label at its projected centre ("Bed_1", as in the scene
// description); box edges whose faces face hiding left out of the mesh are
// dashed, and the room box's edges are white. Below it, a plan seen from
// above (the room box, every box's footprint, the capture point with the
// direction of column 0, a scale bar in scene units) and a legend.
//
// panorama: as mergeTextures or readPanorama return it (8-bit BGR; 8-bit
// grey or BGRA are converted). An empty panorama, or one of another type,
// leaves its place grey.
//
// With acoustics (computeRoomAcoustics of room), a chart of the room's
// reverberation time per octave band, by Sabine and Eyring, goes below; and
// when acoustics->rir holds the decay curves of an impulse response
// (RirSummary::decayDb), a chart of them below that.
//
// Throws Error("Cannot write %s") when the image cannot be encoded or the
// file cannot be opened or written completely.
void writePreview(const Reconstruction& room, const std::string& path, const cv::Mat& panorama,
                  const RoomAcoustics* acoustics = nullptr);

}  // namespace roombox
