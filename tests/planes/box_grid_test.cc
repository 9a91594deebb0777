#include "planes/box_grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace roombox {
namespace {

// True when the closed boxes share a point, by the comparisons the stages
// make (false when a bound involved is NaN).
bool meet(const GridBox& a, const GridBox& b) {
  for (int k = 0; k < 3; ++k) {
    if (!(a.lo[k] <= b.hi[k] && b.lo[k] <= a.hi[k])) return false;
  }
  return true;
}

// A random value: mostly on a coarse grid of `scale`, sometimes an extreme.
float value(std::mt19937& rng, float scale) {
  const int pick = std::uniform_int_distribution<int>(0, 99)(rng);
  if (pick == 0) return INFINITY;
  if (pick == 1) return -INFINITY;
  if (pick == 2) return 1e30f;
  if (pick == 3) return -0.0f;
  return static_cast<float>(std::uniform_int_distribution<int>(-20, 20)(rng)) * scale;
}

GridBox randomBox(std::mt19937& rng, float scale) {
  GridBox box;
  for (int k = 0; k < 3; ++k) {
    float a = value(rng, scale);
    // Often flat on one axis, as a plane is.
    float b = std::uniform_int_distribution<int>(0, 2)(rng) == 0 ? a : value(rng, scale);
    if (b < a) std::swap(a, b);
    box.lo[k] = a;
    box.hi[k] = b;
  }
  if (std::uniform_int_distribution<int>(0, 49)(rng) == 0) box.hi[1] = NAN;
  return box;
}

TEST(BoxGrid, QueriesFindEveryBoxThatMeetsInAscendingOrder) {
  std::mt19937 rng(5);
  for (int round = 0; round < 300; ++round) {
    const float scale = round % 3 == 0 ? 0.05f : round % 3 == 1 ? 1.0f : 40.0f;
    const int count = std::uniform_int_distribution<int>(0, 150)(rng);
    std::vector<GridBox> boxes;
    std::vector<int> ids;
    for (int k = 0; k < count; ++k) {
      boxes.push_back(randomBox(rng, scale));
      ids.push_back(3 * k + round % 3);  // numbers need not be 0..count-1
    }
    BoxGrid grid;
    buildBoxGrid(boxes, ids, grid);
    const long long cells = static_cast<long long>(grid.cells[0]) * grid.cells[1] * grid.cells[2];
    EXPECT_LE(cells, 4LL * count + 64);

    std::vector<int> found;
    for (int q = 0; q < 40; ++q) {
      const GridBox query = randomBox(rng, scale);
      queryBoxGrid(grid, query, found);
      ASSERT_TRUE(std::is_sorted(found.begin(), found.end()));
      ASSERT_TRUE(std::adjacent_find(found.begin(), found.end()) == found.end());
      for (const int id : found) {
        ASSERT_TRUE(std::binary_search(ids.begin(), ids.end(), id)) << id;
      }
      for (int k = 0; k < count; ++k) {
        if (meet(query, boxes[k])) {
          ASSERT_TRUE(std::binary_search(found.begin(), found.end(), ids[k]))
              << "round " << round << " box " << k;
        }
      }
      if (std::isnan(query.hi[1])) {
        EXPECT_EQ(found, ids);
      }
    }
  }
}

TEST(BoxGrid, EmptyAndDegenerateSets) {
  BoxGrid grid;
  std::vector<int> found{7};
  buildBoxGrid({}, {}, grid);
  queryBoxGrid(grid, GridBox{{0, 0, 0}, {1, 1, 1}}, found);
  EXPECT_TRUE(found.empty());

  // Many copies of one point: one cell, every copy found once.
  const GridBox point{{1, 2, 3}, {1, 2, 3}};
  std::vector<GridBox> boxes(50, point);
  std::vector<int> ids(50);
  for (int k = 0; k < 50; ++k) ids[k] = k;
  buildBoxGrid(boxes, ids, grid);
  queryBoxGrid(grid, point, found);
  EXPECT_EQ(found, ids);
  queryBoxGrid(grid, GridBox{{1.5f, 2, 3}, {4, 4, 4}}, found);
  for (const int id : found) EXPECT_TRUE(id >= 0 && id < 50);
}

}  // namespace
}  // namespace roombox
