#pragma once

#include <string>

namespace roombox {

// The settings of a batch over many rooms.
struct BatchSettings {
  std::string dataset;                 // folder whose subfolders are rooms ("" with a list)
  std::string listFile;                // --list: a file naming the room folders
  std::string planeFile = "planes.txt";
  std::string prefix = "room";
  int saveOption = 2;
  bool preview = false;
  bool glb = false;
  bool bakedObj = false;
  int jobs = 0;                        // rooms in flight; 0: chosen from cores and memory
  std::string report;                  // "" for dataset + "/roombox-report.jsonl"
  bool resume = false;
  int shardIndex = 1;                  // --shard K/N
  int shardCount = 1;
};

// The roombox-batch command: reads the command line, runs every room of the
// dataset (or of the list) on a pool of threads, each as the roombox command
// would run it, its console lines going to ROOM/PREFIX-log.txt, appends a
// report line per room, prints progress and a summary on standard output,
// and returns the exit status: 0 when every room is done, 1 when any failed,
// 2 after a usage error or when the dataset, the list or the report cannot
// be read or written (with the message on standard error), 0 after --help
// and --version.
int runBatchCommandLine(int argc, const char* const* argv);

}  // namespace roombox
