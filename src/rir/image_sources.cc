#include "rir/image_sources.h"

#include "common/pi.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace roombox {

namespace {

// One image coordinate along an axis: min + 2 n L + q (x - min) takes
// |2n| reflections for q = +1 and |2n - 1| for q = -1.
struct AxisImage {
  double coordinate = 0.0;
  int order = 0;
};

std::vector<AxisImage> axisImages(double lo, double hi, double x, int maxOrder) {
  std::vector<AxisImage> images;
  const double length = hi - lo;
  for (int n = -maxOrder; n <= maxOrder; ++n) {
    const int even = std::abs(2 * n);
    const int odd = std::abs(2 * n - 1);
    if (even <= maxOrder) images.push_back({lo + 2 * n * length + (x - lo), even});
    if (odd <= maxOrder) images.push_back({lo + 2 * n * length - (x - lo), odd});
  }
  return images;
}

// Folds an unfolded coordinate back into [lo, hi].
double fold(double u, double lo, double length) {
  const double shifted = u - lo;
  const double period = std::floor(shifted / length);
  double rest = shifted - period * length;
  rest = std::min(length, std::max(0.0, rest));
  return std::fmod(std::fabs(period), 2.0) == 1.0 ? lo + length - rest : lo + rest;
}

// A reflection point on the unfolded line: its parameter, the axis whose
// plane it crosses and the room face it lands on.
struct Crossing {
  double t = 0.0;
  int axis = 0;
  int side = 0;
};

}  // namespace

std::vector<ImageArrival> imageSourceArrivals(const RoomAcoustics& room,
                                              const ReflectingBoxes& boxes, const Vec3& source,
                                              const Vec3& receiver, int maxOrder) {
  std::array<std::vector<AxisImage>, 3> perAxis;
  for (int a = 0; a < 3; ++a) {
    perAxis[a] = axisImages(boxes.roomMin[a], boxes.roomMax[a], source[a], maxOrder);
  }
  std::vector<ImageArrival> arrivals;
  std::vector<Crossing> crossings;
  for (const AxisImage& ix : perAxis[0]) {
    for (const AxisImage& iy : perAxis[1]) {
      if (ix.order + iy.order > maxOrder) continue;
      for (const AxisImage& iz : perAxis[2]) {
        const int order = ix.order + iy.order + iz.order;
        if (order > maxOrder) continue;
        const Vec3 image{ix.coordinate, iy.coordinate, iz.coordinate};
        const Vec3 d{image[0] - receiver[0], image[1] - receiver[1], image[2] - receiver[2]};
        const double distance = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        if (!(distance > 0)) continue;

        // The planes the line from the receiver to the image crosses.
        crossings.clear();
        for (int a = 0; a < 3; ++a) {
          const double lo = boxes.roomMin[a];
          const double length = boxes.roomMax[a] - lo;
          if (image[a] > boxes.roomMax[a]) {
            for (long k = 1; lo + k * length < image[a]; ++k) {
              crossings.push_back({(lo + k * length - receiver[a]) / d[a], a, int(k & 1)});
            }
          } else if (image[a] < lo) {
            for (long k = 0; lo + k * length > image[a]; --k) {
              crossings.push_back({(lo + k * length - receiver[a]) / d[a], a, int(k & 1)});
            }
          }
        }
        std::sort(crossings.begin(), crossings.end(),
                  [](const Crossing& x, const Crossing& y) { return x.t < y.t; });

        // Walk the real path from the receiver back to the source.
        BandValues factor;
        factor.fill(1.0);
        Vec3 from = receiver;
        bool blocked = false;
        for (const Crossing& crossing : crossings) {
          Vec3 point;
          for (int a = 0; a < 3; ++a) {
            const double lo = boxes.roomMin[a];
            const double length = boxes.roomMax[a] - lo;
            point[a] = fold(receiver[a] + crossing.t * d[a], lo, length);
          }
          point[crossing.axis] =
              crossing.side == 0 ? boxes.roomMin[crossing.axis] : boxes.roomMax[crossing.axis];
          if (segmentBlocked(boxes, from, point)) {
            blocked = true;
            break;
          }
          const ReflectionMaterial& material =
              roomMaterialAt(boxes, crossing.axis, crossing.side, point);
          for (int b = 0; b < kBandCount; ++b) factor[b] *= std::sqrt(1.0 - material.absorption[b]);
          from = point;
        }
        if (blocked || segmentBlocked(boxes, from, source)) continue;

        ImageArrival arrival;
        arrival.distance = distance;
        arrival.order = order;
        for (int a = 0; a < 3; ++a) arrival.direction[a] = d[a] / distance;
        for (int b = 0; b < kBandCount; ++b) {
          arrival.amplitude[b] =
              factor[b] * std::exp(-0.5 * room.airAttenuation[b] * distance) / (4 * kPi * distance);
        }
        arrivals.push_back(arrival);
      }
    }
  }
  std::sort(arrivals.begin(), arrivals.end(), [](const ImageArrival& x, const ImageArrival& y) {
    return x.distance < y.distance;
  });
  return arrivals;
}

double shortestPathOfOrder(const ReflectingBoxes& boxes, const Vec3& source, const Vec3& receiver,
                           int order) {
  std::array<std::vector<AxisImage>, 3> perAxis;
  for (int a = 0; a < 3; ++a) {
    perAxis[a] = axisImages(boxes.roomMin[a], boxes.roomMax[a], source[a], order);
  }
  double shortest = HUGE_VAL;
  for (const AxisImage& ix : perAxis[0]) {
    for (const AxisImage& iy : perAxis[1]) {
      for (const AxisImage& iz : perAxis[2]) {
        if (ix.order + iy.order + iz.order != order) continue;
        const double dx = ix.coordinate - receiver[0];
        const double dy = iy.coordinate - receiver[1];
        const double dz = iz.coordinate - receiver[2];
        shortest = std::min(shortest, std::sqrt(dx * dx + dy * dy + dz * dz));
      }
    }
  }
  return shortest;
}

}  // namespace roombox
