#pragma once

#include <array>
#include <vector>

namespace roombox {

// An axis-aligned box in D dimensions (D = 2: a rectangle), lo <= hi on
// every axis for a box with a measure.
template <int D>
struct AlignedBox {
  std::array<double, D> lo{};
  std::array<double, D> hi{};
};

// The measure (area for D = 2, volume for D = 3) of the union of boxes
// clipped to clip: every point counted once, however many boxes hold it.
// Boxes that are empty, inside-out or not finite after clipping add
// nothing. The space is split at the boxes' median boundary until a part
// is covered by one box or meets none, so that the work follows how boxes
// overlap rather than the number of distinct coordinates cubed.
template <int D>
double unionMeasure(const std::vector<AlignedBox<D>>& boxes, const AlignedBox<D>& clip);

}  // namespace roombox
