#pragma once

#include <string>

// Exit status of every failure: a file that cannot be opened, read or
// written, and inconsistent or malformed input.
constexpr int kFailureStatus = 2;

// Prints message to standard output as it stands and ends the process with
// kFailureStatus. Used by every stage that cannot go on.
[[noreturn]] void stopRun(const std::string& message);
