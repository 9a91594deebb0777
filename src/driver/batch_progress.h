#pragma once

#include "driver/batch_report.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace roombox {

// What roombox-batch shows on standard output while rooms run, and its
// summary at the end.

struct BatchProgress {
  bool terminal = false;              // standard output is a terminal: one line redrawn
  int total = 0;                      // rooms to run
  int done = 0;
  int failed = 0;
  std::vector<std::string> failures;  // the first few, "room: message"
  std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
};

// Counts record's room and shows that it ended: on a terminal the progress
// line (rooms, failures, rate, time left) redrawn, else a line for the room.
void showRoomEnd(BatchProgress& p, const RoomRecord& record, FILE* out);

// What the batch passed over, for the summary.
struct BatchSkips {
  int doneEarlier = 0;
  int withoutPlanes = 0;
  int strayRemoved = 0;
};

// Prints the summary after the last room: counts, time, the temporary files
// removed, and the first few failures (the report has them all).
void showBatchSummary(const BatchProgress& p, const BatchSkips& skips,
                      const std::string& planeFile, const std::string& report, FILE* out);

}  // namespace roombox
