#include "bake/occluder_candidates.h"

#include <algorithm>

namespace roombox {

namespace {

// The candidates of two sets of pixels together.
int merge(int a, int b) {
  if (a == -1 || a == b) return b;
  if (b == -1) return a;
  return kSeveralOccluders;
}

}  // namespace

cv::Mat occluderCandidates(const cv::Mat& occluders) {
  const int width = occluders.cols;
  const int height = occluders.rows;
  // First along each row (wrapping), then across rows (clamped): merging is
  // associative, so the two passes give the 3 x 3 neighbourhood.
  cv::Mat along(height, width, CV_32SC1);
  for (int row = 0; row < height; ++row) {
    const int* ids = occluders.ptr<int>(row);
    int* out = along.ptr<int>(row);
    for (int col = 0; col < width; ++col) {
      const int left = col == 0 ? width - 1 : col - 1;
      const int right = col + 1 == width ? 0 : col + 1;
      out[col] = merge(merge(ids[left], ids[col]), ids[right]);
    }
  }
  cv::Mat candidates(height, width, CV_32SC1);
  for (int row = 0; row < height; ++row) {
    const int* above = along.ptr<int>(std::max(row - 1, 0));
    const int* here = along.ptr<int>(row);
    const int* below = along.ptr<int>(std::min(row + 1, height - 1));
    int* out = candidates.ptr<int>(row);
    for (int col = 0; col < width; ++col) {
      out[col] = merge(merge(above[col], here[col]), below[col]);
    }
  }
  return candidates;
}

}  // namespace roombox
