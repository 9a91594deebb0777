#pragma once

#include "roombox/room_acoustics.h"

#include <cstdint>
#include <string>
#include <vector>

namespace roombox {

// The channel layout of an impulse response.
enum class RirFormat {
  Mono,   // one channel: the pressure at the receiver
  AmbiX,  // first-order Ambisonics: ACN order W, Y, Z, X with SN3D normalisation
};

// What to compute. The defaults are the documented ones of the command-line
// tool (README, "Impulse responses").
struct ImpulseResponseSettings {
  Vec3 source{};    // metres, inside the room box and outside every object box
  Vec3 receiver{};  // metres, the same
  int sampleRate = 48000;
  RirFormat format = RirFormat::Mono;
  double maxLengthS = 10.0;  // the cap on the response's length
  std::uint64_t seed = 0;
  int maxOrder = 3;             // the image sources' highest reflection order
  int rays = 10000;             // rays traced for the late part (0: image sources alone)
  double receiverRadius = 0.5;  // metres, the sphere that detects rays
  int threads = 0;              // 0: every core the process may use
};

// The lowest and highest values the settings accept (checked by
// computeImpulseResponse, and by the command line before a run).
constexpr int kRirMinSampleRate = 8000;
constexpr int kRirMaxSampleRate = 192000;
constexpr double kRirMaxLengthS = 60.0;
constexpr int kRirMaxOrder = 12;
constexpr int kRirMaxRays = 1000000;

// A computed impulse response. Sample 0 is the moment of emission; the
// direct sound arrives at distance / c with amplitude 1 / (4 pi distance)
// (before air absorption).
struct ImpulseResponse {
  int sampleRate = 48000;
  int channels = 1;            // 1 (mono) or 4 (AmbiX W, Y, Z, X)
  std::vector<float> samples;  // frames of `channels` values each
  bool truncated = false;      // the slowest band had not decayed by 60 dB at the cap
  double transitionTimeS = 0.0;  // where the late part takes over from the image sources
  int imageSources = 0;          // image sources that reach the receiver
  std::size_t frames() const { return channels > 0 ? samples.size() / channels : 0; }
  double lengthS() const { return sampleRate > 0 ? double(frames()) / sampleRate : 0.0; }
};

// The direction the AmbiX channels call the front (azimuth 0, elevation 0):
// the panorama's centre column on its horizon, so that the file lines up
// with a 360-degree video of the panorama. The azimuth grows towards the
// viewer's left, the elevation upwards.
Vec3 ambisonicFront();

// Throws Error when position (named `what` in the message, "source" or
// "receiver") is not three finite numbers, lies outside the room box (or on
// its surface) or inside (or on) an object box.
void checkRirPosition(const RoomAcoustics& room, const Vec3& position, const std::string& what);

// The distance of the default source from the receiver (metres).
constexpr double kRirSourceDistance = 1.5;

// The default source for a receiver (the capture point): kRirSourceDistance
// towards ambisonicFront() (the panorama's centre column) at the receiver's
// height. Where that point is no good place (outside the room box or within
// 10 cm of its faces, inside or within 10 cm of an object box, or hidden
// from the receiver by a box), the nearest good point is taken: first
// closer along the same direction, then turning away from it to either side
// in steps of 15 degrees, the left first. Throws Error when there is none
// (a room of less than 20 cm, or one full of boxes).
Vec3 defaultRirSource(const RoomAcoustics& room, const Vec3& receiver);

// Throws Error when settings cannot give a response in room: a bad position
// (checkRirPosition), source and receiver less than 1 cm apart, a value
// outside the limits above, or a room without a positive speed of sound or
// with an air attenuation that is no number of zero or more.
void checkImpulseResponseSettings(const RoomAcoustics& room,
                                  const ImpulseResponseSettings& settings);

// The impulse response from settings.source to settings.receiver in room:
// image sources for the early part, stochastic ray tracing for the late part,
// joined at the transition time (README, "Impulse responses"). The bytes of
// the result depend on the room and the settings only, never on the number
// of threads. Throws Error for a bad position or setting.
ImpulseResponse computeImpulseResponse(const RoomAcoustics& room,
                                       const ImpulseResponseSettings& settings);

// Writes response as a 32-bit float WAV file, atomically like every output.
// Throws Error("Cannot write <path>") when it cannot.
void writeImpulseResponseWav(const ImpulseResponse& response, const std::string& path);

// The energy decay curve per octave band of channel 0 (Schroeder's backward
// integration of the response filtered into the band with the filters the
// synthesis uses), in dB relative to the band's total energy, one value per
// sample, never below -200 dB. A band without any energy is all 0 dB.
std::vector<std::vector<double>> energyDecayCurves(const ImpulseResponse& response);

// The reverberation time from the -5 to -35 dB part of an energy decay curve
// (least-squares line, extrapolated to 60 dB); 0 when the curve does not
// reach -35 dB.
double t30FromDecay(const std::vector<double>& decayDb, int sampleRate);

}  // namespace roombox
