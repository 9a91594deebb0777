#pragma once

// Helpers for the tests that run the built roombox binary (ROOMBOX_BINARY),
// on whole rooms or on hostile input, and open its outputs with other
// programs.
#include "support/temp_dir.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

// Exit status and standard output of a shell command; status -1 when the
// command was ended by a signal or could not be started.
struct CommandRun {
  int status = -1;
  std::string output;
};

// A run of the roombox binary through runRoombox: exit status and everything
// it printed on standard output.
using BinaryRun = CommandRun;

inline CommandRun runCommand(const std::string& command) {
  CommandRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char chunk[4096];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof(chunk), pipe)) > 0) run.output.append(chunk, got);
  const int raw = pclose(pipe);
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return run;
}

// text in single quotes for the shell.
inline std::string quoted(const std::string& text) {
  std::string result = "'";
  for (char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return result + "'";
}

// Runs the roombox binary with the arguments, given as one shell-quoted
// string, from the folder workingDir (empty: the current folder). Standard
// error is dropped.
inline BinaryRun runRoombox(const std::string& arguments, const std::string& workingDir = "") {
  std::string command;
  if (!workingDir.empty()) command = "cd " + quoted(workingDir) + " && ";
  command += quoted(ROOMBOX_BINARY) + " " + arguments + " 2>/dev/null";
  return runCommand(command);
}

// A run of the roombox binary: exit status, standard output and standard
// error kept apart, so that a sanitizer report or a crash message shows.
struct ToolRun {
  int status = -1;
  std::string output;
  std::string errors;
};

// Runs roombox with base path basePath and the other three arguments, and
// the named options (shell words, e.g. "--glb --preview") after them, under
// a time limit: a run that hangs is ended and reported with status 124.
inline ToolRun runTool(const std::string& basePath, const std::string& planeFile,
                       const std::string& prefix, const std::string& option,
                       int timeLimitSeconds = 120, const std::string& options = "") {
  const std::string errorFile = std::filesystem::temp_directory_path().string() +
                                "/roombox-stderr-" + std::to_string(::getpid()) + ".txt";
  const CommandRun run = runCommand("timeout " + std::to_string(timeLimitSeconds) + " " +
                                    quoted(ROOMBOX_BINARY) + " " + quoted(basePath) + " " +
                                    quoted(planeFile) + " " + quoted(prefix) + " " +
                                    quoted(option) + " " + options + " 2>" +
                                    quoted(errorFile));
  ToolRun tool;
  tool.status = run.status;
  tool.output = run.output;
  std::ifstream errors(errorFile, std::ios::binary);
  tool.errors.assign(std::istreambuf_iterator<char>(errors), std::istreambuf_iterator<char>());
  std::filesystem::remove(errorFile);
  return tool;
}

// The whole content of a file; empty when it cannot be read.
inline std::string readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Copies the bundled example room (plane info file and panorama) into dir.
inline void copyExampleRoom(const TempDir& dir) {
  for (const char* name : {"planes.txt", "shifted_t.png"}) {
    std::filesystem::copy_file(std::string(ROOMBOX_EXAMPLES) + "/" + name, dir.path() + name,
                               std::filesystem::copy_options::overwrite_existing);
  }
}

// Copies the example room into dir and runs it there with the output prefix
// room and the given save option.
inline ToolRun runExampleRoom(const TempDir& dir, const std::string& option) {
  copyExampleRoom(dir);
  return runTool(dir.path(), "planes.txt", "room", option);
}

// The save options the example room runs with, and the mesh files each one
// writes for the output prefix room (besides the texture, cuboid text and
// scene description every complete run writes).
struct SaveOptionFiles {
  const char* option;
  std::vector<std::string> meshFiles;
};

inline const std::vector<SaveOptionFiles>& exampleSaveOptions() {
  static const std::vector<SaveOptionFiles> options = {
      {"0", {"room-rect-Object.obj"}},
      {"1", {"room-rect-Object-colour.obj"}},
      {"2", {"room-rect.obj", "room-rect.obj.mtl"}},
      {"3", {"room-rect-Object.off"}},
      {"7", {}},  // any other option writes no mesh file
  };
  return options;
}

// Names of the entries of a folder.
inline std::set<std::string> filesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// The last line of a text, without its line feed.
inline std::string lastLine(const std::string& text) {
  std::string body = text;
  if (!body.empty() && body.back() == '\n') body.pop_back();
  const std::string::size_type start = body.rfind('\n');
  return start == std::string::npos ? body : body.substr(start + 1);
}

// The integer printed right after the first occurrence of label in the
// console output; -1 when the label is missing.
inline int consoleNumber(const std::string& output, const std::string& label) {
  const std::string::size_type at = output.find(label);
  if (at == std::string::npos) return -1;
  return std::atoi(output.c_str() + at + label.size());
}
