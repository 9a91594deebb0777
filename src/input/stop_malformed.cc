#include "input/stop_malformed.h"

#include "driver/stop_run.h"

void stopMalformed(const std::string& path, const std::string& detail) {
  stopRun("The file " + path + " is malformed: " + detail + "\n");
}
