// The rooms a batch runs at once when none is asked for: the memory the
// machine and the control group leave, read from files made here.
#include "common/cores.h"
#include "driver/dataset.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace roombox {
namespace {

constexpr double kMiB = 1024.0 * 1024.0;

// A kernel memory summary with MemAvailable mib MiB, and a control group
// /job whose memory.max and memory.current hold the texts given.
MemorySources memoryFixture(const TempDir& dir, long long availableMib, const std::string& max,
                            const std::string& current) {
  MemorySources sources;
  sources.meminfo = dir.write("meminfo", "MemTotal:       67108864 kB\nMemFree:         1024 kB\n"
                                         "MemAvailable:   " +
                                             std::to_string(availableMib * 1024) + " kB\n");
  sources.cgroupMembership = dir.write("cgroup", "0::/job\n");
  std::filesystem::create_directories(dir.path() + "root/job");
  dir.write("root/job/memory.max", max + "\n");
  dir.write("root/job/memory.current", current + "\n");
  sources.cgroupRoot = dir.path() + "root";
  return sources;
}

std::string bytesOfMib(long long mib) { return std::to_string(mib * 1024 * 1024); }

TEST(AvailableMemory, IsTheLesserOfTheMachinesAndWhatTheControlGroupLeaves) {
  const struct {
    const char* name;
    long long availableMib;
    std::string max, current;
    double expectedMib;
  } cases[] = {
      {"a group limit below the machine's", 8192, bytesOfMib(1024), bytesOfMib(256), 768},
      {"a group limit above the machine's", 1024, bytesOfMib(8192), "0", 1024},
      {"no group limit", 8192, "max", bytesOfMib(256), 8192},
  };
  for (const auto& c : cases) {
    TempDir dir;
    EXPECT_EQ(availableMemory(memoryFixture(dir, c.availableMib, c.max, c.current)),
              c.expectedMib * kMiB)
        << c.name;
  }
}

// A file that starts as a PNG of width x height RGB pixels does: all that
// is read of a panorama to judge its memory.
void writePngHeader(const std::string& path, unsigned width, unsigned height) {
  const unsigned char header[33] = {
      0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R',
      static_cast<unsigned char>(width >> 24), static_cast<unsigned char>(width >> 16),
      static_cast<unsigned char>(width >> 8), static_cast<unsigned char>(width),
      static_cast<unsigned char>(height >> 24), static_cast<unsigned char>(height >> 16),
      static_cast<unsigned char>(height >> 8), static_cast<unsigned char>(height),
      8, 2, 0, 0, 0, 0, 0, 0, 0};
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(header), 33);
}

TEST(DefaultJobCount, RoomsInFlightFitInTheMemoryLeft) {
  // Four rooms whose 2048 x 1024 panoramas take 6 MiB each decoded.
  TempDir dir;
  std::vector<std::string> panoramas;
  for (int k = 0; k < 4; ++k) {
    panoramas.push_back(dir.path() + "pano" + std::to_string(k) + ".png");
    writePngHeader(panoramas.back(), 2048, 1024);
  }
  const int byCores = std::min(usableCores(), 4);
  TempDir plenty;
  EXPECT_EQ(defaultJobCount(panoramas, memoryFixture(plenty, 65536, "max", "0")), byCores);
  // A room in flight takes several times its panorama: 60 MiB left holds
  // one such room at a time, whether the machine or the control group is
  // what is short.
  TempDir shortMachine;
  EXPECT_EQ(defaultJobCount(panoramas, memoryFixture(shortMachine, 60, bytesOfMib(8192), "0")),
            1);
  TempDir shortGroup;
  EXPECT_EQ(defaultJobCount(panoramas,
                            memoryFixture(shortGroup, 65536, bytesOfMib(100), bytesOfMib(40))),
            1);
}

}  // namespace
}  // namespace roombox
