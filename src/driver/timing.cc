#include "driver/timing.h"

#include <cstdio>
#include <cstdlib>

namespace roombox {

StageTimer makeStageTimer() {
  const char* value = std::getenv("ROOMBOX_TIMING");
  StageTimer timer;
  timer.enabled = value != nullptr && value[0] != '\0' && !(value[0] == '0' && value[1] == '\0');
  return timer;
}

void timeStage(StageTimer& timer, const char* next) {
  if (!timer.enabled) return;
  using Clock = std::chrono::steady_clock;
  const Clock::time_point now = Clock::now();
  if (timer.current != nullptr) {
    const double seconds = std::chrono::duration<double>(now - timer.started).count();
    std::fprintf(stderr, "timing: %s %.6f\n", timer.current, seconds);
  }
  timer.current = next;
  timer.started = Clock::now();
}

}  // namespace roombox
