#include "driver/stage_timer.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

void timeStage(const char* next) {
  static const bool enabled = [] {
    const char* value = std::getenv("ROOMBOX_TIMING");
    return value != nullptr && value[0] != '\0' && !(value[0] == '0' && value[1] == '\0');
  }();
  if (!enabled) return;
  using Clock = std::chrono::steady_clock;
  static const char* current = nullptr;
  static Clock::time_point started;
  const Clock::time_point now = Clock::now();
  if (current != nullptr) {
    const double seconds = std::chrono::duration<double>(now - started).count();
    std::fprintf(stderr, "timing: %s %.6f\n", current, seconds);
  }
  current = next;
  started = Clock::now();
}
