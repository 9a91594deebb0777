// Known answers for the pieces of the acoustic model: the air after
// ISO 9613-1, the union of boxes, and the reverberation formulas.
#include "acoustics/air.h"
#include "acoustics/box_union.h"
#include "acoustics/reverberation.h"
#include "support/expect_error.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <random>

namespace roombox {
namespace {

AlignedBox<3> box(double x0, double x1, double y0, double y1, double z0, double z1) {
  AlignedBox<3> b;
  b.lo = {x0, y0, z0};
  b.hi = {x1, y1, z1};
  return b;
}

TEST(AirTest, SpeedOfSoundAndAttenuation) {
  EXPECT_NEAR(speedOfSound(20.0), 343.2, 0.05);
  EXPECT_NEAR(speedOfSound(0.0), 331.3, 1e-9);
  // ISO 9613-1, Table 1, 20 degrees, 50 % humidity, 101.325 kPa: 1.31 dB/km
  // at 250 Hz, 4.66 dB/km at 1 kHz. m is in nepers of energy per metre:
  // dB/km = 1000 * 10 lg(e) * m.
  const double toDecibelsPerKm = 10000.0 / std::log(10.0);
  const BandValues m = airAttenuation(AirConditions());
  EXPECT_NEAR(m[1] * toDecibelsPerKm, 1.31, 0.01);
  EXPECT_NEAR(m[3] * toDecibelsPerKm, 4.66, 0.01);
  for (int b = 1; b < kBandCount; ++b) EXPECT_GT(m[b], m[b - 1]);
  EXPECT_ROOMBOX_ERROR(checkAirConditions(AirConditions{60.0, 50.0, 101.325}), "temperature");
  EXPECT_ROOMBOX_ERROR(checkAirConditions(AirConditions{20.0, NAN, 101.325}), "humidity");
  checkAirConditions(AirConditions{-20.0, 0.0, 101.325});
  const BandValues dry = airAttenuation(AirConditions{-20.0, 0.0, 101.325});
  for (double value : dry) EXPECT_TRUE(std::isfinite(value) && value > 0.0);
}

// The union of random boxes against counting the cells of a fine grid
// whose lines hold every box boundary: duplicates, overlaps, boxes that
// stick out of the clip region and flat boxes all occur.
TEST(BoxUnionTest, MatchesCellCountOnRandomBoxes) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> coordinate(-2, 12);
  for (int round = 0; round < 50; ++round) {
    std::vector<AlignedBox<3>> boxes;
    const int count = 1 + round % 12;
    for (int k = 0; k < count; ++k) {
      AlignedBox<3> b;
      for (int a = 0; a < 3; ++a) {
        int p = coordinate(random);
        int q = coordinate(random);
        if (p > q) std::swap(p, q);
        b.lo[a] = p * 0.5;
        b.hi[a] = q * 0.5;
      }
      boxes.push_back(b);
      if (k % 4 == 3) boxes.push_back(b);
    }
    const AlignedBox<3> clip = box(0, 5, 0, 4, 0.5, 3);
    int cells = 0;
    for (int i = 0; i < 10; ++i) {
      for (int j = 0; j < 8; ++j) {
        for (int l = 1; l < 6; ++l) {
          const double x = 0.25 + 0.5 * i, y = 0.25 + 0.5 * j, z = 0.25 + 0.5 * l;
          for (const AlignedBox<3>& b : boxes) {
            if (x > b.lo[0] && x < b.hi[0] && y > b.lo[1] && y < b.hi[1] && z > b.lo[2] &&
                z < b.hi[2]) {
              ++cells;
              break;
            }
          }
        }
      }
    }
    EXPECT_NEAR(unionMeasure<3>(boxes, clip), cells * 0.125, 1e-9) << "round " << round;
  }
  // NaN: the box adds nothing; an infinite side is clipped like any other.
  EXPECT_EQ(unionMeasure<3>({box(0, NAN, 0, 1, 0, 1), box(0, 1, 0, INFINITY, 0, 1)},
                            box(0, 2, 0, 2, 0, 2)),
            2.0);
}

TEST(ReverberationTest, EdgesGiveFiniteTimes) {
  EXPECT_EQ(sabineTime(0.0, 10.0, 0.001, 343.0), 0.0);
  EXPECT_EQ(sabineTime(50.0, 0.0, 0.0, 343.0), 0.0);
  EXPECT_EQ(eyringTime(50.0, 80.0, 1.0, 0.001, 343.0), 0.0);
  EXPECT_NEAR(eyringTime(50.0, 0.0, 0.0, 0.001, 343.0), 55.3 * 50.0 / (343.0 * 0.2), 1e-12);
  EXPECT_EQ(schroederFrequency(0.5, 0.0), 0.0);
}

}  // namespace
}  // namespace roombox
