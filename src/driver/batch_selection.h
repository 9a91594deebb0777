#pragma once

#include "driver/batch_options.h"
#include "driver/batch_report.h"

#include <string>
#include <vector>

namespace roombox {

// Which rooms a batch runs: a dataset's subfolder without the plane info
// file is no room, and with --resume a room the report records as done with
// its inputs and outputs unchanged is passed over.

// The plane info file and the panorama of room as they are now.
std::vector<InputStamp> inputStamps(const BatchSettings& b, const std::string& room);

// Whether an earlier run's record shows room done with the inputs it has now
// (same size and modification time) and the outputs this run would write,
// all still there. False without a record.
bool doneBefore(const BatchSettings& b, const std::string& room, const RoomRecord* record);

// The rooms to run and what was passed over.
struct RoomSelection {
  std::vector<std::string> rooms;
  int withoutPlanes = 0;  // dataset subfolders without the plane info file
  int doneEarlier = 0;    // with --resume: rooms done before
  int strayRemoved = 0;   // with --resume: temporary files of killed runs removed
};

// Selects the rooms to run among candidates (in their order); with --resume
// it reads the report and removes the temporary files that killed runs left
// in the rooms.
RoomSelection selectRooms(const BatchSettings& b, const std::vector<std::string>& candidates);

}  // namespace roombox
