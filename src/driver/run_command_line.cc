#include "driver/run_command_line.h"

#include "driver/parse_command_line.h"
#include "driver/run_room.h"
#include "roombox/error.h"

#include <opencv2/core.hpp>
#include <opencv2/core/utils/logger.hpp>

#include <cstdio>
#include <exception>
#include <new>
#include <string>

namespace roombox {

namespace {

constexpr int kCompleteStatus = 1;
constexpr int kFailureStatus = 2;

// Prints message on standard output as it stands.
void printMessage(const std::string& message) {
  std::fwrite(message.data(), 1, message.size(), stdout);
}

// The status to end with: a run whose console output did not reach standard
// output completely has failed, whatever it did besides.
int finish(int status) {
  const bool written = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
  if (written) return status;
  std::fprintf(stderr, "Cannot write standard output\n");
  return kFailureStatus;
}

}  // namespace

int runCommandLine(int argc, const char* const* argv) {
  // roombox reports every failure itself; OpenCV's own log lines (such as
  // its warning about a file it cannot decode) would only repeat them.
  cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT);
  try {
    const ParsedCommandLine command = parseCommandLine(argc, argv);
    switch (command.action) {
      case CommandAction::kUsage:
        printMessage(command.text);
        return finish(kFailureStatus);
      case CommandAction::kHelp:
      case CommandAction::kVersion:
        printMessage(command.text);
        return finish(0);
      case CommandAction::kRun:
        break;
    }
    runRoom(command.settings);
    return finish(kCompleteStatus);
  } catch (const Error& error) {
    printMessage(error.what());
  } catch (const std::bad_alloc&) {
    printMessage("Out of memory\n");
  } catch (const cv::Exception& error) {
    // OpenCV reports its own allocations that fail as StsNoMem.
    printMessage(error.code == cv::Error::StsNoMem
                     ? std::string("Out of memory\n")
                     : std::string("Failure in OpenCV: ") + error.what() + "\n");
  } catch (const std::exception& error) {
    printMessage(std::string("Unexpected failure: ") + error.what() + "\n");
  }
  finish(kFailureStatus);
  return kFailureStatus;
}

}  // namespace roombox
