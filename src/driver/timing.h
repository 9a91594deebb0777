#pragma once

#include <chrono>

namespace roombox {

// Stage timing for performance work, on when the environment variable
// ROOMBOX_TIMING is set to a non-empty value other than "0". Each call of
// timeStage ends the stage begun by the previous call, printing
// "timing: <name> <seconds>" for it to standard error, and begins the stage
// `next` (nullptr begins none). Standard output is never touched, so timed
// runs print exactly what untimed runs print.
struct StageTimer {
  bool enabled = false;
  const char* current = nullptr;
  std::chrono::steady_clock::time_point started;
};

// A timer, on or off as the environment says.
StageTimer makeStageTimer();

// Ends the current stage of timer (printing its time when on) and begins
// `next`.
void timeStage(StageTimer& timer, const char* next);

}  // namespace roombox
