#include "roombox/impulse_response.h"

#include "common/c_locale.h"
#include "common/pi.h"
#include "rir/reflecting_boxes.h"
#include "roombox/error.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace roombox {

namespace {

// How far the default source keeps from the room's faces and the boxes.
constexpr double kClearance = 0.1;
constexpr double kDistanceStep = 0.05;
constexpr double kSmallestDistance = 0.25;
constexpr int kTurnStepDegrees = 15;

// The position as the messages show it, with a decimal point whatever the
// locale.
std::string formatPosition(const Vec3& p) {
  const CLocaleScope cLocale;
  char text[160];
  std::snprintf(text, sizeof text, "%g,%g,%g", p[0], p[1], p[2]);
  return text;
}

bool goodSourcePlace(const RoomAcoustics& room, const ReflectingBoxes& boxes, const Vec3& p,
                     const Vec3& receiver) {
  for (int a = 0; a < 3; ++a) {
    if (!(p[a] > room.roomMin[a] + kClearance && p[a] < room.roomMax[a] - kClearance)) return false;
  }
  for (const AcousticObject& object : room.objects) {
    bool near = true;
    for (int a = 0; a < 3 && near; ++a) {
      near = p[a] >= object.min[a] - kClearance && p[a] <= object.max[a] + kClearance;
    }
    if (near) return false;
  }
  return !segmentBlocked(boxes, receiver, p);
}

}  // namespace

void checkRirPosition(const RoomAcoustics& room, const Vec3& position, const std::string& what) {
  for (double v : position) {
    if (!std::isfinite(v)) {
      throw Error("The impulse response's " + what + " is not three finite numbers");
    }
  }
  for (int a = 0; a < 3; ++a) {
    if (!(position[a] > room.roomMin[a] && position[a] < room.roomMax[a])) {
      throw Error("The impulse response's " + what + " " + formatPosition(position) +
                  " lies outside the room box");
    }
  }
  for (const AcousticObject& object : room.objects) {
    bool inside = true;
    for (int a = 0; a < 3 && inside; ++a) {
      inside = position[a] >= object.min[a] && position[a] <= object.max[a];
    }
    if (inside) {
      throw Error("The impulse response's " + what + " " + formatPosition(position) +
                  " lies inside the object box " + object.entry);
    }
  }
}

Vec3 defaultRirSource(const RoomAcoustics& room, const Vec3& receiver) {
  const ReflectingBoxes boxes = gatherReflectingBoxes(room);
  const Vec3 front = ambisonicFront();
  const double frontAzimuth = std::atan2(front[1], front[0]);
  // Turning left is counter-clockwise seen from above (scene z is up).
  for (int turn = 0; turn <= 180; turn += kTurnStepDegrees) {
    for (int sign : {1, -1}) {
      if (sign < 0 && (turn == 0 || turn == 180)) continue;
      const double azimuth = frontAzimuth + sign * turn * kPi / 180;
      const Vec3 direction{std::cos(azimuth), std::sin(azimuth), 0.0};
      for (int k = 0; kRirSourceDistance - k * kDistanceStep >= kSmallestDistance - 1e-9; ++k) {
        const double d = kRirSourceDistance - k * kDistanceStep;
        const Vec3 p{receiver[0] + d * direction[0], receiver[1] + d * direction[1], receiver[2]};
        if (goodSourcePlace(room, boxes, p, receiver)) return p;
      }
    }
  }
  throw Error("There is no place for the impulse response's source near the receiver " +
              formatPosition(receiver) + ": give one with --rir-source");
}

}  // namespace roombox
