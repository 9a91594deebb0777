#pragma once

namespace roombox {

// The roombox command: reads the command line, runs the room (runRoom) and
// returns the exit status: 1 after a complete run; 2 after the usage text,
// after any failure (its message printed on standard output), and when
// standard output cannot be written; 0 after --help and --version. Every
// failure is caught here, running out of memory and OpenCV's own errors
// included; nothing else in roombox prints a failure or ends the process.
int runCommandLine(int argc, const char* const* argv);

}  // namespace roombox
