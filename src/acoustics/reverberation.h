#pragma once

namespace roombox {

// Reverberation time by Sabine, seconds: 55.3 V / (c (A + 4 m V)) for the
// volume V (m^3), the speed of sound c (m/s), the equivalent absorption
// area A (m^2) and the air's energy attenuation m (1/m). 0 for a room
// without volume or when nothing absorbs.
double sabineTime(double volume, double absorptionArea, double airAttenuation,
                  double speedOfSound);

// Reverberation time by Eyring, seconds: 55.3 V / (c (-S ln(1 - a) + 4 m V))
// with the surface area S and the mean absorption a. A mean absorption of 1
// or more absorbs everything at the first reflection: 0 s.
double eyringTime(double volume, double surfaceArea, double meanAbsorption,
                  double airAttenuation, double speedOfSound);

// The Schroeder frequency 2000 sqrt(T / V), Hz, above which the room's modes
// overlap; 0 for a room without volume.
double schroederFrequency(double reverberationTime, double volume);

}  // namespace roombox
