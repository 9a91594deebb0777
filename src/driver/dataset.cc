#include "driver/dataset.h"

#include "common/cores.h"
#include "common/output_file.h"
#include "input/png_reader.h"
#include "roombox/error.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace roombox {

namespace {

// Memory a room in flight takes, as a multiple of its decoded panorama:
// measured peaks of whole runs (with the baked model) stay below it.
constexpr double kRoomMemoryPerPanoramaByte = 6.0;
// Memory left to the rest of the machine.
constexpr double kUsableMemoryShare = 0.8;

std::string joinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

// Bytes the memory limit of this process's control group (cgroup v2, as
// batch schedulers and containers set it) still allows; 0 when there is no
// limit or it cannot be read.
double controlGroupMemory(const MemorySources& sources) {
  std::ifstream membership(sources.cgroupMembership);
  std::string line;
  while (std::getline(membership, line)) {
    if (line.compare(0, 3, "0::") != 0) continue;
    const std::string folder = sources.cgroupRoot + line.substr(3);
    std::ifstream maxFile(folder + "/memory.max");
    std::ifstream currentFile(folder + "/memory.current");
    long long limit = 0, current = 0;
    if (!(maxFile >> limit) || !(currentFile >> current)) return 0.0;  // "max": no limit
    return limit > current ? static_cast<double>(limit - current) : 1.0;
  }
  return 0.0;
}

// Bytes of the decoded image of the PNG file at path, from its header (8 bits
// per sample and three channels at least, as a panorama is held); 0 when it
// is no PNG file.
double decodedPanoramaBytes(const std::string& path) {
  unsigned char head[33];
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return 0.0;
  const std::size_t got = std::fread(head, 1, sizeof(head), file);
  std::fclose(file);
  if (got != sizeof(head) || std::memcmp(head, kPngSignature, 8) != 0 ||
      std::memcmp(head + 12, "IHDR", 4) != 0) {
    return 0.0;
  }
  // IHDR: width, height, bit depth, colour type.
  const double width = readBigEndian32(head + 16);
  const double height = readBigEndian32(head + 20);
  const int bitDepth = head[24];
  const int colourType = head[25];
  const double samples = colourType == 6 || colourType == 4 ? 4.0 : 3.0;
  const double depth = bitDepth > 8 ? 2.0 : 1.0;
  return width * height * samples * depth;
}

}  // namespace

double availableMemory(const MemorySources& sources) {
  double memory = 0.0;
  std::ifstream meminfo(sources.meminfo);
  std::string key;
  long long kib = 0;
  std::string unit;
  while (meminfo >> key >> kib >> unit) {
    if (key == "MemAvailable:") {
      memory = static_cast<double>(kib) * 1024.0;
      break;
    }
  }
  if (memory <= 0.0) {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGE_SIZE);
    if (pages > 0 && pageSize > 0) memory = static_cast<double>(pages) * static_cast<double>(pageSize);
  }
  const double group = controlGroupMemory(sources);
  if (group > 0.0 && (memory <= 0.0 || group < memory)) memory = group;
  return memory;
}

std::vector<std::string> listDatasetRooms(const std::string& dataset) {
  DIR* folder = ::opendir(dataset.c_str());
  if (folder == nullptr) {
    throw Error("Cannot read the dataset folder " + dataset + ": " + std::strerror(errno));
  }
  std::vector<std::string> rooms;
  while (const dirent* entry = ::readdir(folder)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    const std::string path = joinPath(dataset, name);
    struct stat status;
    if (::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) rooms.push_back(path);
  }
  ::closedir(folder);
  std::sort(rooms.begin(), rooms.end());
  return rooms;
}

std::vector<std::string> readRoomList(const std::string& listFile) {
  std::ifstream in(listFile, std::ios::binary);
  if (!in) throw Error("Cannot read the room list " + listFile);
  std::vector<std::string> rooms;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) rooms.push_back(line);
  }
  if (in.bad()) throw Error("Cannot read the room list " + listFile);
  std::sort(rooms.begin(), rooms.end());
  rooms.erase(std::unique(rooms.begin(), rooms.end()), rooms.end());
  return rooms;
}

bool parseShard(const std::string& text, int& index, int& count) {
  const std::string::size_type slash = text.find('/');
  if (slash == std::string::npos) return false;
  const auto number = [](const std::string& digits, int& value) {
    if (digits.empty() || digits.size() > 9) return false;
    value = 0;
    for (char c : digits) {
      if (c < '0' || c > '9') return false;
      value = value * 10 + (c - '0');
    }
    return true;
  };
  return number(text.substr(0, slash), index) && number(text.substr(slash + 1), count) &&
         index >= 1 && index <= count;
}

std::vector<std::string> selectShard(const std::vector<std::string>& rooms, int index, int count) {
  std::vector<std::string> shard;
  for (std::size_t p = static_cast<std::size_t>(index - 1); p < rooms.size();
       p += static_cast<std::size_t>(count)) {
    shard.push_back(rooms[p]);
  }
  return shard;
}

FileStamp stampFile(const std::string& path) {
  FileStamp stamp;
  struct stat status;
  if (::stat(path.c_str(), &status) != 0) return stamp;
  stamp.size = static_cast<long long>(status.st_size);
  stamp.modifiedNanoseconds = static_cast<long long>(status.st_mtim.tv_sec) * 1000000000LL +
                              static_cast<long long>(status.st_mtim.tv_nsec);
  return stamp;
}

bool isRegularFile(const std::string& path) {
  struct stat status;
  return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

int removeStrayTemporaryFiles(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return 0;
  std::vector<std::string> stray;
  while (const dirent* entry = ::readdir(dir)) {
    if (isTemporaryOutputName(entry->d_name)) stray.push_back(joinPath(folder, entry->d_name));
  }
  ::closedir(dir);
  int removed = 0;
  for (const std::string& path : stray) removed += ::unlink(path.c_str()) == 0 ? 1 : 0;
  return removed;
}

int defaultJobCount(const std::vector<std::string>& panoramaPaths,
                    const MemorySources& sources) {
  const int cores = usableCores();
  const long long rooms = std::max<long long>(1, static_cast<long long>(panoramaPaths.size()));
  int jobs = static_cast<int>(std::min<long long>(cores, rooms));
  double largest = 0.0;
  for (const std::string& path : panoramaPaths) {
    largest = std::max(largest, decodedPanoramaBytes(path));
  }
  const double memory = availableMemory(sources) * kUsableMemoryShare;
  if (largest > 0.0 && memory > 0.0) {
    const double fit = std::floor(memory / (largest * kRoomMemoryPerPanoramaByte));
    if (fit < jobs) jobs = static_cast<int>(std::max(1.0, fit));
  }
  return jobs;
}

}  // namespace roombox
