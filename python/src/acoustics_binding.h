#pragma once

#include "roombox/reconstruction.h"
#include "roombox/room_acoustics.h"

#include <optional>
#include <string>

// The acoustic model of a reconstruction for the Python module: the
// built-in material table with the file `materials` merged over it (none:
// the built-in table alone), air at `temperature` degrees Celsius and
// `humidity` percent. Throws roombox::Error as the library does.
roombox::RoomAcoustics acousticsOf(const roombox::Reconstruction& room,
                                   const std::optional<std::string>& materials,
                                   double temperature, double humidity);

// That model as the text of <prefix>-acoustics.json.
std::string acousticsTextFor(const roombox::Reconstruction& room,
                             const std::optional<std::string>& materials, double temperature,
                             double humidity);

// Writes that model to path as <prefix>-acoustics.json is written.
void writeAcousticsFor(const roombox::Reconstruction& room, const std::string& path,
                       const std::optional<std::string>& materials, double temperature,
                       double humidity);
