#pragma once

#include "roombox/reconstruction.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstdint>
#include <string>

// The impulse response of a reconstruction for the Python module, computed
// as roombox --rir computes it: source and receiver are None (the default
// source; the capture point) or three numbers, format "mono" or "ambix",
// materials None or a material table's path. Returns float32 samples, (N,)
// for mono and (N, 4) for AmbiX (W, Y, Z, X). Raises ValueError with the
// library's message for a position or value the room cannot take, and
// roombox.Error for the rest (a room without a room box, a materials file
// that cannot be read). Releases the GIL while it computes.
pybind11::array_t<float> impulseResponseFor(const roombox::Reconstruction& room,
                                            const pybind11::object& source,
                                            const pybind11::object& receiver, int rate,
                                            const std::string& format, std::uint64_t seed,
                                            const pybind11::object& materials);

// Writes that response to path as <prefix>-rir.wav is written (32-bit float
// WAV).
void writeRirFor(const roombox::Reconstruction& room, const pybind11::handle& path,
                 const pybind11::object& source, const pybind11::object& receiver, int rate,
                 const std::string& format, std::uint64_t seed,
                 const pybind11::object& materials);
