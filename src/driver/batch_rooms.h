#pragma once

#include "driver/batch_options.h"
#include "driver/batch_report.h"

#include <opencv2/core.hpp>

#include <functional>
#include <string>
#include <vector>

namespace roombox {

// The room runner of roombox-batch: rooms side by side on the library's
// thread pool, each run as the roombox command runs it.

// Runs one room as the roombox command would, its console lines (and the
// failure's message) written to its log file, and returns its record; never
// throws for a failing room. panoramaMemory is memory of an earlier room's
// panorama that the run may decode into (see runRoom).
RoomRecord runOneRoom(const BatchSettings& b, const std::string& room, int roomThreads,
                      cv::Mat& panoramaMemory);

// Called with each room's record as the room ends, one call at a time.
using RoomEnded = std::function<void(const RoomRecord&)>;

// Runs rooms on `jobs` threads (the calling thread among them), the usable
// cores shared among the rooms in flight, and hands each room's record to
// ended. An exception out of ended stops the rooms not yet begun and is
// rethrown here once every thread has stopped.
void runRooms(const BatchSettings& b, const std::vector<std::string>& rooms, int jobs,
              const RoomEnded& ended);

}  // namespace roombox
