#include "rir/reflecting_boxes.h"

#include "rir/random_stream.h"
#include "rir/shoebox_rooms.h"

#include <gtest/gtest.h>

#include <cmath>

namespace roombox {
namespace {

// The nearest entry of a ray into any of the boxes, by testing each.
double nearestEntry(const RoomAcoustics& room, const Vec3& origin, const Vec3& direction,
                    double maxDistance) {
  double best = maxDistance;
  for (const AcousticObject& object : room.objects) {
    double enter = -HUGE_VAL;
    double exit = HUGE_VAL;
    bool miss = false;
    for (int a = 0; a < 3; ++a) {
      if (direction[a] == 0) {
        miss = miss || !(origin[a] > object.min[a] && origin[a] < object.max[a]);
        continue;
      }
      double t1 = (object.min[a] - origin[a]) / direction[a];
      double t2 = (object.max[a] - origin[a]) / direction[a];
      if (t1 > t2) std::swap(t1, t2);
      enter = std::max(enter, t1);
      exit = std::min(exit, t2);
    }
    if (!miss && enter < exit && enter > 1e-9 && enter < best) best = enter;
  }
  return best;
}

TEST(ReflectingBoxesTest, TheGridFindsTheNearestBoxAsTestingEveryBoxDoes) {
  // Enough boxes for the grid, some overlapping, some reaching out of the
  // room, some thin, some outside it; rays from points between them in every direction,
  // axis-parallel ones among them.
  RoomAcoustics room = shoebox({7.0, 5.0, 3.0}, uniformBands(0.1), uniformBands(0.1));
  RandomStream random(3, 0);
  for (int k = 0; k < 60; ++k) {
    Vec3 lo;
    Vec3 hi;
    for (int a = 0; a < 3; ++a) {
      const double extent = room.roomMax[a];
      lo[a] = -0.5 + random.uniform() * (extent + 0.5);
      hi[a] = lo[a] + (k % 7 == 0 ? 0.01 : 0.05 + random.uniform() * 1.2);
    }
    addObject(room, lo, hi, uniformBands(0.3), uniformBands(0.3));
  }
  const ReflectingBoxes boxes = gatherReflectingBoxes(room);
  ASSERT_FALSE(boxes.cellStart.empty());
  int hits = 0;
  for (int ray = 0; ray < 20000; ++ray) {
    Vec3 origin;
    for (int a = 0; a < 3; ++a) origin[a] = random.uniform() * room.roomMax[a];
    Vec3 direction{random.normal(), random.normal(), random.normal()};
    if (ray % 10 == 0) direction = Vec3{0, 0, 0}, direction[ray % 3] = ray % 20 ? 1.0 : -1.0;
    const double length = std::sqrt(direction[0] * direction[0] + direction[1] * direction[1] +
                                     direction[2] * direction[2]);
    for (double& v : direction) v /= length;
    // Rays end where they leave the room, or earlier.
    double maxDistance = 1.0 + 8.0 * random.uniform();
    for (int a = 0; a < 3; ++a) {
      if (direction[a] > 0) maxDistance = std::min(maxDistance, (room.roomMax[a] - origin[a]) / direction[a]);
      if (direction[a] < 0) maxDistance = std::min(maxDistance, (room.roomMin[a] - origin[a]) / direction[a]);
    }
    double distance = 0.0;
    int object = -1;
    int axis = 0;
    int side = 0;
    const bool found = firstObjectHit(boxes, origin, direction, maxDistance, distance, object, axis, side);
    const double expected = nearestEntry(room, origin, direction, maxDistance);
    ASSERT_EQ(found, expected < maxDistance) << ray;
    if (!found) continue;
    ++hits;
    ASSERT_NEAR(distance, expected, 1e-12) << ray;
    // The face it enters by holds the hit point and faces the ray.
    const double at = origin[axis] + distance * direction[axis];
    const double plane = side ? room.objects[object].max[axis] : room.objects[object].min[axis];
    ASSERT_NEAR(at, plane, 1e-9) << ray;
    ASSERT_GT(side ? -direction[axis] : direction[axis], 0.0) << ray;
  }
  EXPECT_GT(hits, 5000);
}

}  // namespace
}  // namespace roombox
