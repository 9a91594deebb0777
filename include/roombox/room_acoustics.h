#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace roombox {

// The octave bands of every acoustic quantity: 125 Hz to 8 kHz.
constexpr int kBandCount = 7;
constexpr std::array<double, kBandCount> kBandCentresHz = {125.0,  250.0,  500.0, 1000.0,
                                                            2000.0, 4000.0, 8000.0};

// One value per octave band, in the order of kBandCentresHz.
using BandValues = std::array<double, kBandCount>;

// A point or direction in scene coordinates (metres).
using Vec3 = std::array<double, 3>;

// The air the sound travels through.
struct AirConditions {
  double temperatureC = 20.0;
  double relativeHumidity = 50.0;  // percent
  double pressureKpa = 101.325;
};

// One object box of the scene description, as reconstructed.
struct AcousticObject {
  std::string entry;  // the scene description's name ("Bed_1")
  int category = 0;
  Vec3 min{};
  Vec3 max{};
};

// One surface that meets the room's air: a wall, floor or ceiling rectangle,
// or a face of an object box that face hiding kept.
struct AcousticSurface {
  std::string entry;  // the scene description's name of its entry
  int category = 0;
  bool object = false;  // a face of an object box (kind "object"), else a room surface
  int objectIndex = -1;  // for an object face: its box in RoomAcoustics::objects
  std::vector<std::string> materials;          // the entry's visual materials
  std::vector<std::string> acousticMaterials;  // the acoustic materials they map to
  Vec3 normal{};                      // unit, into the air the surface faces
  std::array<Vec3, 4> corners{};      // counter-clockwise seen from the air side
  double area = 0.0;                  // the whole rectangle
  double exposedArea = 0.0;           // the part that touches the room's air
  BandValues absorption{};            // random-incidence absorption coefficient
  BandValues scattering{};            // scattering coefficient
};

// What the acoustics file says of an impulse response written beside it.
struct RirSummary {
  std::string file;    // the WAV file's name
  int sampleRate = 0;
  Vec3 source{};
  Vec3 receiver{};
  std::string format;  // "mono" or "ambix"
  double lengthS = 0.0;
  bool truncated = false;  // cut at the length cap before the slowest band decayed by 60 dB
  std::uint64_t seed = 0;
  int maxOrder = 0;
  int rays = 0;
  // The energy decay curve per octave band of the response's first channel
  // (mono, or AmbiX W), as energyDecayCurves gives it: one level in dB per
  // sample. Filled when a preview is drawn with the response (its decay
  // chart), else empty; the acoustics file does not hold it.
  std::vector<std::vector<double>> decayDb;
};

// The acoustic model of one reconstructed room (metres assumed).
struct RoomAcoustics {
  AirConditions air;
  double speedOfSound = 0.0;  // m/s, from the temperature
  BandValues airAttenuation{};  // energy attenuation coefficient m, 1/m (as in 4 m V)
  Vec3 roomMin{};
  Vec3 roomMax{};
  double volume = 0.0;       // room box minus the union of the object boxes clipped to it
  double surfaceArea = 0.0;  // sum of the surfaces' exposed areas
  BandValues equivalentAbsorptionArea{};  // sum of exposed area x absorption, m^2
  BandValues meanAbsorption{};            // equivalent absorption area / surface area
  BandValues rt60Sabine{};
  BandValues rt60Eyring{};
  double schroederFrequencyHz = 0.0;
  std::vector<AcousticObject> objects;
  std::vector<AcousticSurface> surfaces;
  std::optional<RirSummary> rir;  // set when an impulse response is written with it
};

}  // namespace roombox
