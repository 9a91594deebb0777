#pragma once

#include "rir/reflecting_boxes.h"

#include <vector>

namespace roombox {

// One specular path from the source to the receiver.
struct ImageArrival {
  double distance = 0.0;  // the path's length (metres)
  BandValues amplitude{};  // pressure at the receiver per band: 1 / (4 pi distance)
                           // x the reflection factors x the air's attenuation
  Vec3 direction{};        // unit, from the receiver towards the image source
  int order = 0;           // reflections on the way
};

// The image sources of the room box up to maxOrder reflections (Allen and
// Berkley's lattice of images, each path unfolded to find its reflection
// points), with the paths an object box blocks left out. A reflection scales
// the amplitude of band b by sqrt(1 - absorption[b]) of the surface at its
// point; the air by exp(-m[b] distance / 2).
std::vector<ImageArrival> imageSourceArrivals(const RoomAcoustics& room,
                                              const ReflectingBoxes& boxes, const Vec3& source,
                                              const Vec3& receiver, int maxOrder);

// The length of the shortest path with exactly `order` reflections off the
// room box, blocked or not: before it, the image sources of lower orders hold
// every specular reflection.
double shortestPathOfOrder(const ReflectingBoxes& boxes, const Vec3& source, const Vec3& receiver,
                           int order);

}  // namespace roombox
