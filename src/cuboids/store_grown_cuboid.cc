#include "cuboids/store_grown_cuboid.h"

#include "driver/scene_store.h"

namespace {

// Stores a range as the box bounds on an axis.
void setBounds(Cuboid& box, int axis, AxisRange range) {
  if (axis == 0) {
    box.minX = range.low;
    box.maxX = range.high;
  } else if (axis == 1) {
    box.minY = range.low;
    box.maxY = range.high;
  } else {
    box.minZ = range.low;
    box.maxZ = range.high;
  }
}

}  // namespace

void storeGrownCuboid(const CuboidGrowth& growth) {
  const Plane& s = growth.seed;
  Cuboid box{};
  box.kind = 1.0f;
  const AxisRange depth =
      growth.negative ? AxisRange{growth.far, s.position} : AxisRange{s.position, growth.far};
  setBounds(box, growth.normalAxis, depth);
  setBounds(box, growth.uAxis, growth.u);
  setBounds(box, growth.vAxis, growth.v);
  box.category = s.category;
  box.material = s.material;

  std::vector<Cuboid>& cuboids = sceneStore.cuboids;
  const int slot = sceneStore.cuboidCount;
  if (static_cast<int>(cuboids.size()) <= slot) cuboids.resize(slot + 1);
  cuboids[slot] = box;
  sceneStore.cuboidCount = slot + 1;
}
