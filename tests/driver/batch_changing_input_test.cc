// roombox-batch on a dataset whose panoramas another process keeps rewriting
// and cutting short while the batch runs (a dataset being synced): those
// rooms fail or complete, every other room completes, and the batch ends
// with its own status, never with a signal.
#include "support/run_binary.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

TEST(BatchTest, PanoramasCutShortWhileTheBatchRunsFailOnlyTheirRooms) {
  TempDir dir;
  const std::string data = dir.path() + "data";
  const std::string source = dir.path() + "source";
  fs::create_directories(source);
  // A photo-like panorama (noise), large enough for a cut to fall inside its
  // reading often.
  ASSERT_EQ(runCommand(quoted(ROOMBOX_MAKE_EXAMPLE_ROOM) + " " + quoted(source) +
                       " --width 2048 --height 1024 --noise 3 > /dev/null")
                .status,
            0);
  const std::string panorama = readWholeFile(source + "/shifted_t.png");
  const std::vector<std::string> steady = {"steady-1", "steady-2", "steady-3"};
  const std::vector<std::string> changing = {"changing-1", "changing-2", "changing-3"};
  for (const std::vector<std::string>* group : {&steady, &changing}) {
    for (const std::string& name : *group) {
      fs::create_directories(data + "/" + name);
      fs::copy_file(source + "/planes.txt", data + "/" + name + "/planes.txt");
      fs::copy_file(source + "/shifted_t.png", data + "/" + name + "/shifted_t.png");
    }
  }

  // Until the batch ends: each changing panorama written whole again, then
  // cut at a random point after a random wait.
  std::atomic<bool> running{true};
  std::thread cutter([&] {
    std::mt19937 random(1208);
    std::uniform_int_distribution<std::size_t> at(0, panorama.size() - 1);
    std::uniform_int_distribution<int> wait(0, 20000);
    while (running) {
      for (const std::string& name : changing) {
        const std::string path = data + "/" + name + "/shifted_t.png";
        std::ofstream(path, std::ios::binary) << panorama;
        std::this_thread::sleep_for(std::chrono::microseconds(wait(random)));
        truncate(path.c_str(), static_cast<off_t>(at(random)));
      }
    }
  });
  const CommandRun run =
      runCommand(quoted(ROOMBOX_BATCH_BINARY) + " --jobs 2 " + quoted(data) + " 2>&1");
  running = false;
  cutter.join();

  // Status 1 whether or not a changing room failed; -1 is a signal.
  EXPECT_EQ(run.status, 1) << run.output;
  std::ifstream report(data + "/roombox-report.jsonl");
  std::string line;
  int lines = 0;
  while (std::getline(report, line)) {
    ++lines;
    const nlohmann::json value = nlohmann::json::parse(line);
    const std::string room = fs::path(value.at("room").get<std::string>()).filename().string();
    if (room.rfind("steady", 0) == 0) {
      EXPECT_EQ(value.at("status"), "done") << line;
    } else if (value.at("status") != "done") {
      EXPECT_EQ(value.at("status"), "failed") << line;
      EXPECT_EQ(value.at("message"), "Cannot open the texture image - " + data + "/" + room +
                                         "/shifted_t.png")
          << line;
    }
  }
  EXPECT_EQ(lines, 6) << run.output;
}

}  // namespace
