#pragma once

#include "roombox/room_acoustics.h"

namespace roombox {

// The speed of sound in air at temperatureC degrees Celsius, m/s
// (331.3 sqrt(1 + T / 273.15), 343.2 m/s at 20 degrees).
double speedOfSound(double temperatureC);

// The energy attenuation coefficient m (1/m, intensity falls as exp(-m x))
// of air in each octave band, after ISO 9613-1 evaluated at the nominal band
// centres: the attenuation in dB/m divided by 10 lg e.
BandValues airAttenuation(const AirConditions& air);

// Throws Error when the conditions are outside what the model covers:
// temperature not a number in -20..50 degrees Celsius (ISO 9613-1's range),
// relative humidity not in 0..100 %, pressure not a positive number.
void checkAirConditions(const AirConditions& air);

}  // namespace roombox
