#include "driver/stop_run.h"

#include <cstdio>
#include <cstdlib>

void stopRun(const std::string& message) {
  std::fwrite(message.data(), 1, message.size(), stdout);
  std::fflush(stdout);
#ifdef ROOMBOX_FUZZ
  throw RunStopped{kFailureStatus};
#else
  std::exit(kFailureStatus);
#endif
}
