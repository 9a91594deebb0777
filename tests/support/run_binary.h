#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

// Result of running the built roombox binary: its exit status and everything
// it printed on standard output.
struct BinaryRun {
  int status = -1;
  std::string output;
};

// Runs the roombox binary with the arguments, given as one shell-quoted
// string, from the folder workingDir (empty: the current folder).
inline BinaryRun runRoombox(const std::string& arguments, const std::string& workingDir = "") {
  std::string command;
  if (!workingDir.empty()) command = "cd '" + workingDir + "' && ";
  command += std::string("'") + ROOMBOX_BINARY + "' " + arguments + " 2>/dev/null";
  BinaryRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char chunk[4096];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof(chunk), pipe)) > 0) run.output.append(chunk, got);
  const int raw = pclose(pipe);
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return run;
}
