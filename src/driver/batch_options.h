#pragma once

#include "driver/command_line.h"
#include "driver/run_sequence.h"

#include <string>

namespace roombox {

// The options of roombox-batch: one record and the one function that reads
// them from the command line. A new option is a field here and a line in
// parseBatchCommandLine.

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
  bool acoustics = false;              // --acoustics, --materials, --air: as for roombox
  std::string materialsFile;
  AirConditions air;
  bool rir = false;                    // --rir and its options: as for roombox
  RirOptionTexts rirOptions;
  int jobs = 0;                        // rooms in flight; 0: chosen from cores and memory
  std::string report;                  // "" for dataset + "/roombox-report.jsonl"
  bool resume = false;
  int shardIndex = 1;                  // --shard K/N
  int shardCount = 1;
  std::string html;                    // --html: the report page ("" for none)
};

// What the command line asks roombox-batch to do.
enum class BatchAction { kRun, kHelp, kVersion, kUsageError };

// Reads the command line into settings (the report's default path filled
// in); text holds what to print for kHelp and kVersion, line feeds included,
// and for kUsageError the usage error's message, without a line feed.
BatchAction parseBatchCommandLine(int argc, const char* const* argv, BatchSettings& settings,
                                  std::string& text);

// The folder of room with one trailing slash, as the base path of its run.
std::string basePathOf(const std::string& room);

// The settings of room's run under the batch's settings, on roomThreads
// threads.
RunSettings roomRunSettings(const BatchSettings& b, const std::string& room, int roomThreads);

// The name of the log file a room's console lines go to, in its folder.
std::string roomLogName(const BatchSettings& b);

// The name of a room's panorama, in its folder.
std::string roomPanoramaName();

}  // namespace roombox
