// roombox-batch end to end: datasets of the example room, generated rooms and
// broken rooms; the outputs against single runs of roombox, the report,
// resuming after a kill, shards and exit statuses.
#include "roombox/version.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

CommandRun runBatch(const std::string& arguments) {
  return runCommand(quoted(ROOMBOX_BATCH_BINARY) + " " + arguments + " 2>&1");
}

// A room folder made by the example room generator with its arguments.
void generateRoom(const std::string& folder, const std::string& arguments) {
  fs::create_directories(folder);
  ASSERT_EQ(runCommand(quoted(ROOMBOX_MAKE_EXAMPLE_ROOM) + " " + quoted(folder) + " " +
                       arguments + " > /dev/null")
                .status,
            0);
}

void copyExampleInto(const std::string& folder) {
  fs::create_directories(folder);
  for (const char* name : {"planes.txt", "shifted_t.png"}) {
    fs::copy_file(std::string(ROOMBOX_EXAMPLES) + "/" + name, folder + "/" + name);
  }
}

// The report's lines, by room; lines that are no JSON are counted in
// *broken when it is given, else they fail the test.
std::map<std::string, nlohmann::json> reportLines(const std::string& path,
                                                  int* broken = nullptr) {
  std::map<std::string, nlohmann::json> lines;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    const nlohmann::json value = nlohmann::json::parse(line, nullptr, false);
    if (value.is_discarded()) {
      if (broken != nullptr) {
        ++*broken;
      } else {
        ADD_FAILURE() << "a report line that is no JSON: " << line;
      }
      continue;
    }
    lines[value.at("room").get<std::string>()] = value;
  }
  return lines;
}

// Sets the modification time of the file at path to a fixed one, long past.
void setOldModificationTime(const std::string& path) {
  const struct timespec times[2] = {{978307200, 0}, {978307200, 0}};  // 2001-01-01
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

// Every file of folder by name, with its bytes.
std::map<std::string, std::string> folderContents(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const std::string& name : filesIn(folder)) files[name] = readWholeFile(folder + "/" + name);
  return files;
}

bool hasTemporaryFile(const std::string& folder) {
  for (const std::string& name : filesIn(folder)) {
    if (name.find(".roombox-tmp-") != std::string::npos) return true;
  }
  return false;
}

// Runs roombox on a copy of room's inputs and checks that the batch wrote
// exactly what it writes, its console output in the log.
void expectSameAsSingleRun(const std::string& room, const std::string& options) {
  TempDir single;
  for (const char* name : {"planes.txt", "shifted_t.png"}) {
    fs::copy_file(room + "/" + name, single.path() + name);
  }
  const CommandRun run = runCommand(quoted(ROOMBOX_BINARY) + " " + quoted(single.path()) +
                                    " planes.txt room " + options + " 2>/dev/null");
  std::map<std::string, std::string> expected = folderContents(single.path());
  expected["room-log.txt"] = run.output;
  const std::map<std::string, std::string> written = folderContents(room);
  std::set<std::string> expectedNames, writtenNames;
  for (const auto& file : expected) expectedNames.insert(file.first);
  for (const auto& file : written) writtenNames.insert(file.first);
  ASSERT_EQ(writtenNames, expectedNames) << room;
  for (const auto& [name, contents] : expected) {
    EXPECT_TRUE(written.at(name) == contents) << room << "/" << name << " differs";
  }
}

TEST(BatchTest, ADatasetOfGoodAndBrokenRoomsMatchesSingleRunsAndIsReported) {
  TempDir dir;
  const std::string data = dir.path() + "data";
  copyExampleInto(data + "/example");
  generateRoom(data + "/generated", "--rooms 2 --width 512 --height 256");
  generateRoom(data + "/bare", "--empty --width 256 --height 128");
  copyExampleInto(data + "/bad-planes");
  std::ofstream(data + "/bad-planes/planes.txt") << "3 0.05\n1 2 oops\n";
  copyExampleInto(data + "/bad-panorama");
  std::ofstream(data + "/bad-panorama/shifted_t.png") << "not a picture";
  fs::create_directories(data + "/empty");
  const std::string odd = data + "/caf\xe9";  // a name that is no UTF-8
  copyExampleInto(odd);
  copyExampleInto(dir.path() + "outside");
  fs::create_directory_symlink("../outside", data + "/linked");

  const CommandRun run = runBatch("--jobs 2 " + quoted(data));
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_NE(run.output.find("5 done, 2 failed, 1 skipped (0 done before, 1 without planes.txt)"),
            std::string::npos)
      << run.output;

  for (const std::string& room : {data + "/example", data + "/generated", data + "/bare", odd,
                                  data + "/linked"}) {
    expectSameAsSingleRun(room, "2");
  }

  const std::map<std::string, nlohmann::json> report = reportLines(data + "/roombox-report.jsonl");
  ASSERT_EQ(report.size(), 7u);
  const nlohmann::json& example = report.at(data + "/example");
  EXPECT_EQ(example.at("status"), "done");
  EXPECT_EQ(example.at("message"), "");
  EXPECT_EQ(example.at("planes"), 50);
  EXPECT_EQ(example.at("cuboids"), 44);
  EXPECT_EQ(example.at("faces"),
            consoleNumber(readWholeFile(data + "/example/room-log.txt"), "Total f: "));
  EXPECT_GT(example.at("seconds").get<double>(), 0.0);
  EXPECT_EQ(example.at("outputs"),
            nlohmann::json({"room-texture.png", "room_cuboid.txt", "room.JSON", "room-rect.obj",
                            "room-rect.obj.mtl", "room-log.txt"}));
  // The room that is no UTF-8 is named readably and exactly.
  const nlohmann::json& oddLine = report.at(data + "/caf\xef\xbf\xbd");
  EXPECT_EQ(oddLine.at("status"), "done");
  const std::string hex = oddLine.at("room_hex").get<std::string>();
  EXPECT_EQ(hex.substr(hex.size() - 2), "e9");

  // A failed room has the message roombox prints, which also ends its log.
  for (const char* name : {"bad-planes", "bad-panorama"}) {
    const std::string room = data + "/" + name;
    const nlohmann::json& line = report.at(room);
    EXPECT_EQ(line.at("status"), "failed") << name;
    EXPECT_TRUE(line.at("planes").is_null()) << name;
    const ToolRun single = runTool(room + "/", "planes.txt", "room", "2");
    EXPECT_EQ(line.at("message").get<std::string>(), lastLine(single.output)) << name;
    EXPECT_EQ(readWholeFile(room + "/room-log.txt"), single.output) << name;
    EXPECT_NE(run.output.find("failed " + room + ": " + lastLine(single.output)),
              std::string::npos)
        << run.output;
  }
  EXPECT_EQ(filesIn(data + "/empty"), std::set<std::string>{});
}

TEST(BatchTest, ResumeAfterAKillCompletesTheDatasetAsAnUninterruptedRun) {
  TempDir dir;
  const std::string data = dir.path() + "data";
  const std::string reference = dir.path() + "reference";
  for (int k = 0; k < 6; ++k) {
    const std::string name = "/room" + std::to_string(k);
    copyExampleInto(data + name);
    copyExampleInto(reference + name);
  }
  ASSERT_EQ(runBatch("--jobs 2 --glb " + quoted(reference)).status, 0);

  // Killed once the first room has been reported.
  const std::string report = data + "/roombox-report.jsonl";
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::dup2(null, 2);
    ::execl(ROOMBOX_BATCH_BINARY, ROOMBOX_BATCH_BINARY, "--jobs", "2", "--glb", data.c_str(),
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (readWholeFile(report).empty() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
  const std::map<std::string, nlohmann::json> reported = reportLines(report);
  ASSERT_GE(reported.size(), 1u);
  ASSERT_LT(reported.size(), 6u) << "the batch ended before it was killed";
  // A kill (or a full disk) may also cut the last line short: that room is
  // no record and runs again, and the lines after it start lines of their
  // own.
  const std::string lines = readWholeFile(report);
  const std::size_t lastStart = lines.rfind('\n', lines.size() - 2) + 1;  // npos + 1 is 0
  const std::string cutRoom =
      nlohmann::json::parse(lines.substr(lastStart)).at("room").get<std::string>();
  std::filesystem::resize_file(report, lastStart + (lines.size() - lastStart) / 2);

  const CommandRun resumed = runBatch("--resume --glb " + quoted(data));
  EXPECT_EQ(resumed.status, 0) << resumed.output;
  EXPECT_NE(resumed.output.find("done " + cutRoom + " ("), std::string::npos) << resumed.output;
  int broken = 0;
  EXPECT_EQ(reportLines(report, &broken).size(), 6u);
  EXPECT_EQ(broken, 1);
  for (int k = 0; k < 6; ++k) {
    const std::string name = "/room" + std::to_string(k);
    EXPECT_EQ(folderContents(data + name), folderContents(reference + name)) << name;
    EXPECT_FALSE(hasTemporaryFile(data + name)) << name;
  }

  // Everything done: nothing runs again, until an input changes: a plane
  // file one byte longer, one of the same size with other numbers, a
  // panorama written again with the same bytes.
  const CommandRun again = runBatch("--resume --glb " + quoted(data));
  EXPECT_EQ(again.status, 0);
  EXPECT_NE(again.output.find("0 done, 0 failed, 6 skipped (6 done before"), std::string::npos)
      << again.output;
  std::ofstream(data + "/room3/planes.txt", std::ios::app) << "\n";
  std::string planes = readWholeFile(data + "/room4/planes.txt");
  ASSERT_EQ(planes.compare(0, 8, "50 0.05\n"), 0);
  planes.replace(0, 8, "50 0.06\n");  // another grid step
  std::ofstream(data + "/room4/planes.txt", std::ios::binary | std::ios::trunc) << planes;
  setOldModificationTime(data + "/room4/planes.txt");
  const std::string panorama = readWholeFile(data + "/room5/shifted_t.png");
  std::ofstream(data + "/room5/shifted_t.png", std::ios::binary | std::ios::trunc) << panorama;
  setOldModificationTime(data + "/room5/shifted_t.png");
  const CommandRun changed = runBatch("--resume --glb " + quoted(data));
  for (const char* room : {"/room3", "/room4", "/room5"}) {
    EXPECT_NE(changed.output.find("done " + data + room + " ("), std::string::npos)
        << room << "\n" << changed.output;
  }
  EXPECT_NE(changed.output.find("3 done, 0 failed, 3 skipped (3 done before"), std::string::npos)
      << changed.output;
  expectSameAsSingleRun(data + "/room4", "2 --glb");
}

TEST(BatchTest, ShardsCoverEveryRoomOnceAndStatusesTellTheOutcome) {
  TempDir dir;
  const std::string data = dir.path() + "data";
  std::set<std::string> rooms;
  for (int k = 0; k < 8; ++k) {
    // Rooms without a panorama: they fail at once, which is all a shard test
    // needs.
    const std::string room = data + "/r" + std::to_string(k);
    fs::create_directories(room);
    std::ofstream(room + "/planes.txt") << "0 0.05\n";
    rooms.insert(room);
  }
  std::multiset<std::string> covered;
  for (int k = 1; k <= 3; ++k) {
    const std::string report = dir.path() + "shard" + std::to_string(k) + ".jsonl";
    const CommandRun run = runBatch("--shard " + std::to_string(k) + "/3 --report " +
                                    quoted(report) + " " + quoted(data));
    EXPECT_EQ(run.status, 1) << run.output;
    for (const auto& line : reportLines(report)) covered.insert(line.first);
  }
  EXPECT_EQ(covered, std::multiset<std::string>(rooms.begin(), rooms.end()));

  // Usage errors and what cannot be read or written: status 2, and no room
  // is run.
  fs::remove(data + "/r0/room-log.txt");
  for (const std::string& arguments :
       {std::string(""), "--shard 0/3 " + quoted(data), "--shard 4/3 " + quoted(data),
        "--shard 1 " + quoted(data), "--jobs 0 " + quoted(data), "--bogus " + quoted(data),
        quoted(dir.path() + "missing"), "--list " + quoted(dir.path() + "missing.txt"),
        "--report " + quoted(dir.path() + "no/such/folder.jsonl") + " " + quoted(data),
        "--report " + quoted(dir.path()) + " " + quoted(data)}) {
    const CommandRun run = runBatch(arguments);
    EXPECT_EQ(run.status, 2) << arguments << "\n" << run.output;
  }
  EXPECT_FALSE(fs::exists(data + "/r0/room-log.txt"));
  // Their message is a line of its own.
  EXPECT_EQ(runBatch("--shard 0/3 " + quoted(data)).output,
            "roombox-batch: --shard wants K/N with 1 <= K <= N, not 0/3\n"
            "Run with --help for more information.\n");
  EXPECT_EQ(runBatch("--air 99,50 " + quoted(data)).output,
            "roombox-batch: The air temperature must be a number from -20 to 50 degrees Celsius\n"
            "Run with --help for more information.\n");
  EXPECT_EQ(runBatch(quoted(dir.path() + "missing")).output,
            "roombox-batch: Cannot read the dataset folder " + dir.path() +
                "missing: No such file or directory\n");
  EXPECT_EQ(runBatch("--help").status, 0);
  EXPECT_EQ(runBatch("--version").output, std::string("roombox-batch ") + roombox::kVersion + "\n");

  // A list names rooms anywhere; a listed folder that is gone fails alone.
  TempDir other;
  copyExampleInto(other.path() + "good");
  const std::string list = other.path() + "rooms.txt";
  std::ofstream(list) << other.path() << "good\n" << other.path() << "gone\n";
  const CommandRun listed = runBatch("--list " + quoted(list) + " --report " +
                                     quoted(other.path() + "report.jsonl"));
  EXPECT_EQ(listed.status, 1) << listed.output;
  const std::map<std::string, nlohmann::json> report = reportLines(other.path() + "report.jsonl");
  EXPECT_EQ(report.at(other.path() + "good").at("status"), "done");
  EXPECT_EQ(report.at(other.path() + "gone").at("status"), "failed");
  EXPECT_EQ(runBatch("--list " + quoted(other.path() + "good-only.txt")).status, 2);
  std::ofstream(other.path() + "good-only.txt") << other.path() << "good\n";
  EXPECT_EQ(runBatch("--list " + quoted(other.path() + "good-only.txt") + " --report " +
                     quoted(other.path() + "report2.jsonl"))
                .status,
            0);
}

}  // namespace
