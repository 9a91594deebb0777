#include "preview/dash_polyline.h"

#include <cmath>

namespace roombox {

Polylines dashPolyline(const std::vector<cv::Point2f>& line, float dash, float gap) {
  if (!(dash > 0.0f) || !(gap > 0.0f) || line.size() < 2) return Polylines{line};
  Polylines dashes;
  std::vector<cv::Point2f> current{line.front()};
  bool drawing = true;
  float left = dash;  // length left of the current dash or gap
  for (std::size_t i = 1; i < line.size(); ++i) {
    cv::Point2f from = line[i - 1];
    const cv::Point2f to = line[i];
    float length = std::hypot(to.x - from.x, to.y - from.y);
    // The dash or gap ends within this step: cut it there and switch.
    while (length > left) {
      const float share = left / length;
      const cv::Point2f cut = from + (to - from) * share;
      if (drawing) {
        current.push_back(cut);
        dashes.push_back(current);
        current.clear();
      } else {
        current.push_back(cut);
      }
      length -= left;
      from = cut;
      drawing = !drawing;
      left = drawing ? dash : gap;
    }
    left -= length;
    if (drawing) current.push_back(to);
  }
  if (drawing && current.size() >= 2) dashes.push_back(current);
  return dashes;
}

}  // namespace roombox
