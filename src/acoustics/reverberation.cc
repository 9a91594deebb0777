#include "acoustics/reverberation.h"

#include <cmath>

namespace roombox {

namespace {

// 24 ln(10): the 60 dB decay of a diffuse field, in Sabine's constant.
constexpr double kSabineConstant = 55.3;

double timeFor(double volume, double absorption, double speedOfSound) {
  const double denominator = speedOfSound * absorption;
  if (!(volume > 0.0) || !(denominator > 0.0)) return 0.0;
  const double time = kSabineConstant * volume / denominator;
  return std::isfinite(time) ? time : 0.0;
}

}  // namespace

double sabineTime(double volume, double absorptionArea, double airAttenuation,
                  double speedOfSound) {
  return timeFor(volume, absorptionArea + 4.0 * airAttenuation * volume, speedOfSound);
}

double eyringTime(double volume, double surfaceArea, double meanAbsorption, double airAttenuation,
                  double speedOfSound) {
  if (meanAbsorption >= 1.0) return 0.0;
  const double boundary = meanAbsorption > 0.0 ? -surfaceArea * std::log1p(-meanAbsorption) : 0.0;
  return timeFor(volume, boundary + 4.0 * airAttenuation * volume, speedOfSound);
}

double schroederFrequency(double reverberationTime, double volume) {
  if (!(volume > 0.0) || !(reverberationTime > 0.0)) return 0.0;
  const double frequency = 2000.0 * std::sqrt(reverberationTime / volume);
  return std::isfinite(frequency) ? frequency : 0.0;
}

}  // namespace roombox
