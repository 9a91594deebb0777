#include "acoustics/air.h"

#include "roombox/error.h"

#include <cmath>

namespace roombox {

double speedOfSound(double temperatureC) {
  return 331.3 * std::sqrt(1.0 + temperatureC / 273.15);
}

BandValues airAttenuation(const AirConditions& air) {
  constexpr double kReferencePressureKpa = 101.325;
  constexpr double kReferenceTemperatureK = 293.15;
  constexpr double kTriplePointK = 273.16;
  const double temperature = air.temperatureC + 273.15;
  const double pressure = air.pressureKpa / kReferencePressureKpa;
  // Molar concentration of water vapour, percent (ISO 9613-1, Annex B).
  const double exponent = -6.8346 * std::pow(kTriplePointK / temperature, 1.261) + 4.6151;
  const double saturation = std::pow(10.0, exponent);
  const double h = air.relativeHumidity * saturation / pressure;
  const double ratio = temperature / kReferenceTemperatureK;
  // Relaxation frequencies of oxygen and nitrogen, Hz.
  const double oxygen = pressure * (24.0 + 4.04e4 * h * (0.02 + h) / (0.391 + h));
  const double nitrogen =
      pressure * std::pow(ratio, -0.5) *
      (9.0 + 280.0 * h * std::exp(-4.170 * (std::pow(ratio, -1.0 / 3.0) - 1.0)));
  BandValues m{};
  for (int b = 0; b < kBandCount; ++b) {
    const double f = kBandCentresHz[static_cast<std::size_t>(b)];
    const double f2 = f * f;
    const double decibelsPerMetre =
        8.686 * f2 *
        (1.84e-11 / pressure * std::sqrt(ratio) +
         std::pow(ratio, -2.5) * (0.01275 * std::exp(-2239.1 / temperature) / (oxygen + f2 / oxygen) +
                                  0.1068 * std::exp(-3352.0 / temperature) /
                                      (nitrogen + f2 / nitrogen)));
    // 10 lg(e) dB per neper of energy.
    m[static_cast<std::size_t>(b)] = decibelsPerMetre / (10.0 * std::log10(std::exp(1.0)));
  }
  return m;
}

void checkAirConditions(const AirConditions& air) {
  if (!(air.temperatureC >= -20.0 && air.temperatureC <= 50.0)) {
    throw Error("The air temperature must be a number from -20 to 50 degrees Celsius");
  }
  if (!(air.relativeHumidity >= 0.0 && air.relativeHumidity <= 100.0)) {
    throw Error("The relative humidity must be a number from 0 to 100 %");
  }
  if (!(air.pressureKpa > 0.0 && std::isfinite(air.pressureKpa))) {
    throw Error("The air pressure must be a positive number of kPa");
  }
}

}  // namespace roombox
