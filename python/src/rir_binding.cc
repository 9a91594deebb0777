#include "rir_binding.h"

#include "acoustics_binding.h"
#include "conversions.h"
#include "driver/run_sequence.h"
#include "roombox/error.h"
#include "roombox/impulse_response.h"

#include <pybind11/stl.h>

#include <cmath>
#include <optional>
#include <vector>

namespace py = pybind11;

namespace {

// A position argument as the command line reads one: anything that is not
// three numbers becomes not-a-number, which the library refuses by name.
roombox::Vec3 positionOf(const py::object& value) {
  roombox::Vec3 position{NAN, NAN, NAN};
  try {
    const std::vector<double> numbers = value.cast<std::vector<double>>();
    if (numbers.size() == 3) position = {numbers[0], numbers[1], numbers[2]};
  } catch (const py::cast_error&) {
  }
  return position;
}

// Converts the arguments (GIL held) and computes the response without it.
roombox::ImpulseResponse responseFor(const roombox::Reconstruction& room, const py::object& source,
                                     const py::object& receiver, int rate,
                                     const std::string& format, std::uint64_t seed,
                                     const py::object& materials) {
  roombox::RunSettings s;
  s.rir = true;
  s.rirSourceGiven = !source.is_none();
  if (s.rirSourceGiven) s.rirSource = positionOf(source);
  s.rirReceiverGiven = !receiver.is_none();
  if (s.rirReceiverGiven) s.rirReceiver = positionOf(receiver);
  s.rirRate = rate;
  if (format == "mono") {
    s.rirFormat = roombox::RirFormat::Mono;
  } else if (format == "ambix") {
    s.rirFormat = roombox::RirFormat::AmbiX;
  } else {
    throw py::value_error("format must be \"mono\" or \"ambix\", not \"" + format + "\"");
  }
  s.rirSeed = seed;
  std::optional<std::string> table;
  if (!materials.is_none()) table = roombox_python::pathOf(materials);
  py::gil_scoped_release release;
  const roombox::RoomAcoustics acoustics = acousticsOf(room, table, s.air.temperatureC,
                                                       s.air.relativeHumidity);
  roombox::ImpulseResponseSettings settings;
  try {
    settings = roombox::impulseResponseSettings(s, acoustics);
  } catch (const roombox::Error& e) {
    throw py::value_error(e.what());
  }
  return roombox::computeImpulseResponse(acoustics, settings);
}

}  // namespace

py::array_t<float> impulseResponseFor(const roombox::Reconstruction& room,
                                      const py::object& source, const py::object& receiver,
                                      int rate, const std::string& format, std::uint64_t seed,
                                      const py::object& materials) {
  const roombox::ImpulseResponse response =
      responseFor(room, source, receiver, rate, format, seed, materials);
  const py::ssize_t frames = static_cast<py::ssize_t>(response.frames());
  py::array_t<float> samples =
      response.channels == 1 ? py::array_t<float>(std::vector<py::ssize_t>{frames})
                             : py::array_t<float>(std::vector<py::ssize_t>{
                                   frames, static_cast<py::ssize_t>(response.channels)});
  std::copy(response.samples.begin(),
            response.samples.begin() + frames * static_cast<py::ssize_t>(response.channels),
            samples.mutable_data());
  return samples;
}

void writeRirFor(const roombox::Reconstruction& room, const py::handle& path,
                 const py::object& source, const py::object& receiver, int rate,
                 const std::string& format, std::uint64_t seed, const py::object& materials) {
  const std::string file = roombox_python::pathOf(path);
  const roombox::ImpulseResponse response =
      responseFor(room, source, receiver, rate, format, seed, materials);
  py::gil_scoped_release release;
  roombox::writeImpulseResponseWav(response, file);
}
