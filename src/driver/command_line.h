#pragma once

#include "driver/run_settings.h"

#include <string>

namespace roombox {

// What the command line asks for.
enum class CommandAction {
  kRun,      // settings hold the run's arguments
  kUsage,    // fewer than four positional arguments: the short usage text
  kHelp,     // --help or -h: the full help text
  kVersion,  // --version
};

struct ParsedCommandLine {
  CommandAction action = CommandAction::kUsage;
  RunSettings settings;
  std::string text;  // the text to print for kUsage, kHelp and kVersion
};

// Reads the command line: the first four arguments, whatever they look like,
// are base path, plane info file, output prefix and save option (read like
// C's atoi); named options (such as --preview) follow them. Arguments after
// the fourth that are no option are ignored. With fewer than four arguments
// the short usage text is asked for, unless an argument is --help, -h or
// --version.
ParsedCommandLine parseCommandLine(int argc, const char* const* argv);

}  // namespace roombox
