#include "bake/scene_entry_order.h"

namespace roombox {

std::vector<int> sceneEntryOrder(const std::vector<RectangleGroup>& groups) {
  std::vector<int> order;
  order.reserve(groups.size());
  for (const GroupSource source : {GroupSource::kCuboid, GroupSource::kPlane}) {
    for (std::size_t g = 0; g < groups.size(); ++g) {
      if (groups[g].source == source) order.push_back(static_cast<int>(g));
    }
  }
  return order;
}

}  // namespace roombox
