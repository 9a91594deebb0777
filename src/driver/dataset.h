#pragma once

#include <string>
#include <vector>

namespace roombox {

// The rooms of a dataset as a batch sees them: found, sharded, stamped.

// Size and modification time of one input file; size -1 when it cannot be
// looked at.
struct FileStamp {
  long long size = -1;
  long long modifiedNanoseconds = 0;
};

// The room folders of dataset: its immediate subfolders (symbolic links to
// folders included), each as dataset + "/" + name, sorted by their bytes.
// Throws Error when the dataset folder cannot be read.
std::vector<std::string> listDatasetRooms(const std::string& dataset);

// The room folders named in listFile, one per line (empty lines skipped,
// a final carriage return dropped), sorted by their bytes, each once.
// Throws Error when the file cannot be read.
std::vector<std::string> readRoomList(const std::string& listFile);

// Reads "K/N" (1 <= K <= N, decimal) into index and count; false for any
// other text.
bool parseShard(const std::string& text, int& index, int& count);

// The rooms at positions p of the sorted list with p % count == index - 1:
// count shards cover the list exactly once.
std::vector<std::string> selectShard(const std::vector<std::string>& rooms, int index, int count);

// The stamp of the file at path (following symbolic links).
FileStamp stampFile(const std::string& path);

// Whether path names something that is or leads to a regular file.
bool isRegularFile(const std::string& path);

// Removes the temporary files a killed run may have left in folder (names
// of the form isTemporaryOutputName accepts); returns how many it removed.
int removeStrayTemporaryFiles(const std::string& folder);

// The files the memory a batch may take is read from; the defaults are
// this process's own (a test points them at files of its own).
struct MemorySources {
  std::string meminfo = "/proc/meminfo";             // the kernel's MemAvailable
  std::string cgroupMembership = "/proc/self/cgroup";  // the "0::/path" line (cgroup v2)
  std::string cgroupRoot = "/sys/fs/cgroup";           // where that path's memory.max is
};

// Bytes of memory the machine can give: what the kernel reports as
// available, else all physical memory, and no more than the limit of this
// process's control group leaves above what the group already uses; 0 when
// none of them is known.
double availableMemory(const MemorySources& sources = MemorySources());

// The number of rooms to run at once when none is asked for: one per core,
// lowered so that every room in flight, each taking memory in proportion to
// the largest of the panoramas (judged from their PNG headers; files that
// are no PNG count for nothing), fits in availableMemory(sources). At least
// 1, at most the number of rooms.
int defaultJobCount(const std::vector<std::string>& panoramaPaths,
                    const MemorySources& sources = MemorySources());

}  // namespace roombox
