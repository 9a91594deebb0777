#include "acoustics/box_union.h"

#include <algorithm>
#include <cmath>

namespace roombox {

namespace {

template <int D>
double measureOf(const AlignedBox<D>& box) {
  double measure = 1.0;
  for (int a = 0; a < D; ++a) measure *= box.hi[a] - box.lo[a];
  return measure;
}

template <int D>
bool covers(const AlignedBox<D>& box, const AlignedBox<D>& region) {
  for (int a = 0; a < D; ++a) {
    if (box.lo[a] > region.lo[a] || box.hi[a] < region.hi[a]) return false;
  }
  return true;
}

template <int D>
bool lessBox(const AlignedBox<D>& x, const AlignedBox<D>& y) {
  if (x.lo != y.lo) return x.lo < y.lo;
  return x.hi < y.hi;
}

// The union's measure within region of the boxes at `indices`, each of
// which overlaps region with a positive measure.
template <int D>
double measureWithin(const std::vector<AlignedBox<D>>& boxes, const AlignedBox<D>& region,
                     const std::vector<int>& indices) {
  if (indices.empty()) return 0.0;
  for (int i : indices) {
    if (covers(boxes[static_cast<std::size_t>(i)], region)) return measureOf(region);
  }
  if (indices.size() == 1) {
    AlignedBox<D> part = boxes[static_cast<std::size_t>(indices[0])];
    for (int a = 0; a < D; ++a) {
      part.lo[a] = std::max(part.lo[a], region.lo[a]);
      part.hi[a] = std::min(part.hi[a], region.hi[a]);
    }
    return measureOf(part);
  }
  // Split on the axis with the most box boundaries inside the region, at
  // their median: each half then holds at most half of them.
  int axis = -1;
  std::vector<double> inside;
  for (int a = 0; a < D; ++a) {
    std::vector<double> values;
    for (int i : indices) {
      const AlignedBox<D>& box = boxes[static_cast<std::size_t>(i)];
      if (box.lo[a] > region.lo[a]) values.push_back(box.lo[a]);
      if (box.hi[a] < region.hi[a]) values.push_back(box.hi[a]);
    }
    if (values.size() > inside.size()) {
      inside.swap(values);
      axis = a;
    }
  }
  // No boundary inside: every box covers the region, found above.
  if (axis < 0) return measureOf(region);
  const auto middle = inside.begin() + static_cast<std::ptrdiff_t>(inside.size() / 2);
  std::nth_element(inside.begin(), middle, inside.end());
  const double cut = *middle;
  std::vector<double>().swap(inside);
  AlignedBox<D> low = region;
  AlignedBox<D> high = region;
  low.hi[axis] = cut;
  high.lo[axis] = cut;
  std::vector<int> lowBoxes;
  std::vector<int> highBoxes;
  for (int i : indices) {
    const AlignedBox<D>& box = boxes[static_cast<std::size_t>(i)];
    if (box.lo[axis] < cut) lowBoxes.push_back(i);
    if (box.hi[axis] > cut) highBoxes.push_back(i);
  }
  return measureWithin(boxes, low, lowBoxes) + measureWithin(boxes, high, highBoxes);
}

}  // namespace

template <int D>
double unionMeasure(const std::vector<AlignedBox<D>>& boxes, const AlignedBox<D>& clip) {
  for (int a = 0; a < D; ++a) {
    if (!(clip.lo[a] < clip.hi[a]) || !std::isfinite(clip.lo[a]) || !std::isfinite(clip.hi[a])) {
      return 0.0;
    }
  }
  std::vector<AlignedBox<D>> clipped;
  clipped.reserve(boxes.size());
  for (const AlignedBox<D>& box : boxes) {
    AlignedBox<D> part;
    bool keep = true;
    for (int a = 0; a < D && keep; ++a) {
      part.lo[a] = std::max(box.lo[a], clip.lo[a]);
      part.hi[a] = std::min(box.hi[a], clip.hi[a]);
      // NaN fails the comparison and drops the box.
      keep = part.lo[a] < part.hi[a];
    }
    if (keep) clipped.push_back(part);
  }
  // Duplicates cover the same points: one of each is enough.
  std::sort(clipped.begin(), clipped.end(), lessBox<D>);
  clipped.erase(std::unique(clipped.begin(), clipped.end(),
                            [](const AlignedBox<D>& x, const AlignedBox<D>& y) {
                              return x.lo == y.lo && x.hi == y.hi;
                            }),
                clipped.end());
  std::vector<int> indices(clipped.size());
  for (std::size_t k = 0; k < clipped.size(); ++k) indices[k] = static_cast<int>(k);
  return measureWithin(clipped, clip, indices);
}

template double unionMeasure<2>(const std::vector<AlignedBox<2>>&, const AlignedBox<2>&);
template double unionMeasure<3>(const std::vector<AlignedBox<3>>&, const AlignedBox<3>&);

}  // namespace roombox
