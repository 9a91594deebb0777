#pragma once

#include "driver/run_sequence.h"

#include <string>

namespace CLI {
class App;
}

namespace roombox {

// Converts the save-option argument like the C atoi function: leading C white
// space, an optional sign, then decimal digits up to the first other
// character; text that is not a number gives 0. Values beyond the int range
// clamp to INT_MIN or INT_MAX instead of overflowing.
int parseSaveOption(const char* text);

// Reads the value of --air, "T,RH": the temperature in degrees Celsius and
// the relative humidity in percent, two numbers in C notation whatever the
// locale, at the standard pressure. Throws Error naming the option when the
// text is not two numbers or they are outside what the acoustic model
// covers.
AirConditions parseAirOption(const std::string& text);

// The values of the impulse response's options (--rir-source, --rir-receiver,
// --rir-rate, --rir-format, --rir-length, --rir-seed) as a command line gives
// them; an empty position stands for the default one.
struct RirOptionTexts {
  std::string source;
  std::string receiver;
  std::string rate = "48000";
  std::string format = "mono";
  std::string length = "10";
  std::string seed = "0";
};

// Declares the impulse response's options on app, read into texts: one
// declaration for roombox and roombox-batch.
void addRirOptions(CLI::App& app, RirOptionTexts& texts);

// Reads texts into the impulse response's fields of settings. A position
// that is no "X,Y,Z" of three numbers becomes not-a-number, which the run
// refuses by name (checkRirPosition); throws Error naming the option for a
// rate, format, length or seed out of range.
void readRirOptions(const RirOptionTexts& texts, RunSettings& settings);

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
// --version. Throws Error for an impulse response option (--rir-rate,
// --rir-format, --rir-length, --rir-seed) whose value is out of range.
ParsedCommandLine parseCommandLine(int argc, const char* const* argv);

// The roombox command: reads the command line, runs the room (runRoom) and
// returns the exit status: 1 after a complete run; 2 after the usage text,
// after any failure (its message printed on standard output), and when
// standard output cannot be written; 0 after --help and --version. Every
// failure is caught here, running out of memory and OpenCV's own errors
// included; nothing else in roombox prints a failure or ends the process.
int runCommandLine(int argc, const char* const* argv);

// A failure caught while running a room, as the console reports it.
struct Failure {
  std::string message;     // plain text without a line feed
  bool blankLine = false;  // whether a blank line follows the message's line
};

// The failure being handled: an Error's message as it stands, "Out of memory"
// for running out of memory, and a line naming anything else that escaped.
// A blank line follows the failures of the plane info files
// (ErrorKind::kPlaneFiles) and OpenCV's own failures (OpenCV ends its text
// with a line feed, which the console keeps); none follows any other. Call it
// inside a catch block; it rethrows the current exception to look at it.
Failure currentFailure();

// The console text of failure: its message, its line feed, and the line feed
// of the blank line when one follows.
std::string consoleText(const Failure& failure);

}  // namespace roombox
