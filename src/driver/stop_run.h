#pragma once

#include <string>

// Exit status of every failure: a file that cannot be opened, read or
// written, and inconsistent or malformed input.
constexpr int kFailureStatus = 2;

#ifdef ROOMBOX_FUZZ
// Fuzz builds only (compile definition ROOMBOX_FUZZ): stopRun throws this
// instead of ending the process, so that a fuzz target can catch it and go on
// with its next input. status is the exit status the run would have had.
struct RunStopped {
  int status;
};
#endif

// Prints message to standard output as it stands and ends the process with
// kFailureStatus. Used by every stage that cannot go on.
[[noreturn]] void stopRun(const std::string& message);
