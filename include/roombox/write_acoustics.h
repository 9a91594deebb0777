#pragma once

#include "roombox/room_acoustics.h"

#include <string>

namespace roombox {

// The acoustic model as the JSON document of <prefix>-acoustics.json
// (numbers with at most seven significant digits, whatever the locale).
std::string acousticsText(const RoomAcoustics& acoustics);

// Writes acousticsText(acoustics) to path, whole or not at all. Throws Error
// ("Cannot open <path>" or "Cannot write <path>").
void writeAcoustics(const RoomAcoustics& acoustics, const std::string& path);

}  // namespace roombox
