// Cuboid growth and covered-face hiding as first written: every later plane
// examined for every seed, every box compared with every other box, with no
// index. Each candidate is handled by the same routine as in the indexed
// stages, so the tests that hold the indexed stages to these results check
// their choice of candidates.

#include "cuboids/reference_scans.h"

#include "cuboids/cuboid_growth.h"
#include "cuboids/post_processing.h"

#include <algorithm>

namespace roombox {

namespace {

// Sets the bounds of box on axis (x 0, y 1, z 2).
void setBounds(Cuboid& box, int axis, float low, float high) {
  float* bounds[3][2] = {{&box.minX, &box.maxX}, {&box.minY, &box.maxY}, {&box.minZ, &box.maxZ}};
  *bounds[axis][0] = low;
  *bounds[axis][1] = high;
}

}  // namespace

Cuboid referenceGrowCuboid(int seed, GrowthDirection direction, const std::vector<Plane>& planes,
                           const std::vector<PlaneEquation>& equations) {
  CuboidGrowth growth = startCuboidGrowth(planes[seed], equations[seed], direction);
  // Only planes after the seed shape its box.
  const int count = static_cast<int>(std::min(planes.size(), equations.size()));
  for (int j = seed + 1; j < count; ++j) {
    matchGrowthCandidate(planes[j], equations[j], growth);
  }

  // The box reaches from the seed to the far bound along the growth axis.
  const Plane& s = planes[seed];
  Cuboid box{};
  box.kind = 1.0f;
  if (growth.negative) {
    setBounds(box, growth.normalAxis, growth.far, s.position);
  } else {
    setBounds(box, growth.normalAxis, s.position, growth.far);
  }
  setBounds(box, growth.uAxis, growth.u.low, growth.u.high);
  setBounds(box, growth.vAxis, growth.v.low, growth.v.high);
  box.category = s.category;
  box.material = s.material;
  return box;
}

std::vector<Cuboid> referenceReconstructCuboids(const std::vector<Plane>& planes,
                                                const std::vector<PlaneEquation>& equations) {
  std::vector<Cuboid> cuboids;
  const int count = static_cast<int>(std::min(planes.size(), equations.size()));
  for (int i = 0; i < count; ++i) {
    GrowthDirection direction{};
    if (seedGrowthDirection(planes[i], equations[i], direction)) {
      cuboids.push_back(referenceGrowCuboid(i, direction, planes, equations));
    }
  }
  return cuboids;
}

void referenceHideCoveredFaces(const std::vector<Cuboid>& boxes, std::vector<CuboidFaces>& shown) {
  const int count = static_cast<int>(std::min(boxes.size(), shown.size()));
  for (int i = 0; i < count; ++i) {
    for (int j = 0; j < count; ++j) {
      if (j != i) hideFacesAgainst(boxes[i], boxes[j], j > i, shown[i]);
    }
  }
}

}  // namespace roombox
