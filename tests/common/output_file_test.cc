// Outputs are replaced whole or not at all: a run that fails while writing,
// or is killed, never leaves a short file under an output's name.
#include "support/run_binary.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

const std::vector<std::string> kOutputs = {"room-texture.png", "room_cuboid.txt", "room.JSON",
                                           "room-rect.obj", "room-rect.obj.mtl", "room.glb"};

// Names in folder that have the temporary form .<name>.roombox-tmp-<hex>.
std::vector<std::string> temporaryFiles(const std::string& folder) {
  std::vector<std::string> found;
  for (const std::string& name : filesIn(folder)) {
    if (name[0] == '.' && name.find(".roombox-tmp-") != std::string::npos) found.push_back(name);
  }
  return found;
}

std::map<std::string, std::string> contents(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const std::string& name : kOutputs) files[name] = readWholeFile(folder + name);
  return files;
}

TEST(OutputFileTest, AWriteThatFailsMidwayKeepsTheEarlierFileAndLeavesNoTemporaryFile) {
  // A file size limit makes every write past it fail as on a full disk,
  // on regular files, which are the ones written under a temporary name.
  TempDir dir;
  ASSERT_EQ(runExampleRoom(dir, "2").status, 1);
  const std::map<std::string, std::string> before = contents(dir.path());
  const std::string limited = "ulimit -f 64 && trap '' XFSZ && exec " + quoted(ROOMBOX_BINARY) +
                              " " + quoted(dir.path()) + " planes.txt room 2 2>/dev/null";
  const CommandRun run = runCommand("sh -c " + quoted(limited));
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(lastLine(run.output), "Cannot write " + dir.path() + "room-texture.png");
  EXPECT_EQ(contents(dir.path()), before) << "an earlier complete output was touched";
  EXPECT_EQ(temporaryFiles(dir.path()), std::vector<std::string>{});

  // In an empty folder the output that did not fit is not there at all.
  TempDir fresh;
  copyExampleRoom(fresh);
  const std::string freshRun = "ulimit -f 64 && trap '' XFSZ && exec " + quoted(ROOMBOX_BINARY) +
                               " " + quoted(fresh.path()) + " planes.txt room 2 2>/dev/null";
  EXPECT_EQ(runCommand("sh -c " + quoted(freshRun)).status, 2);
  EXPECT_FALSE(std::filesystem::exists(fresh.path() + "room-texture.png"));
  EXPECT_EQ(temporaryFiles(fresh.path()), std::vector<std::string>{});
}

TEST(OutputFileTest, ALinkKeepsItsLinkAndAReplacedFileItsPermissions) {
  TempDir reference;
  ASSERT_EQ(runExampleRoom(reference, "2").status, 1);
  TempDir dir;
  copyExampleRoom(dir);
  // Two relative links, each read from its own folder: room-rect.obj ->
  // elsewhere/link.obj -> target.obj, that is elsewhere/target.obj.
  std::filesystem::create_directory(dir.path() + "elsewhere");
  std::filesystem::create_symlink("elsewhere/link.obj", dir.path() + "room-rect.obj");
  std::filesystem::create_symlink("target.obj", dir.path() + "elsewhere/link.obj");
  {
    std::ofstream old(dir.path() + "room.JSON");
    old << "old";
  }
  ASSERT_EQ(::chmod((dir.path() + "room.JSON").c_str(), 0640), 0);
  // Run from a folder where the links' texts name other places that exist
  // too: only the links' own folders may resolve them.
  TempDir workingFolder;
  std::filesystem::create_directory(workingFolder.path() + "elsewhere");
  ASSERT_EQ(runRoombox(quoted(dir.path()) + " planes.txt room 2", workingFolder.path()).status, 1);

  EXPECT_TRUE(std::filesystem::is_symlink(dir.path() + "room-rect.obj"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.path() + "elsewhere/link.obj"));
  EXPECT_EQ(readWholeFile(dir.path() + "elsewhere/target.obj"),
            readWholeFile(reference.path() + "room-rect.obj"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "target.obj"));
  EXPECT_EQ(filesIn(workingFolder.path() + "elsewhere"), std::set<std::string>{});
  EXPECT_EQ(readWholeFile(dir.path() + "room.JSON"), readWholeFile(reference.path() + "room.JSON"));
  struct stat status;
  ASSERT_EQ(::stat((dir.path() + "room.JSON").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  EXPECT_EQ(temporaryFiles(dir.path()), std::vector<std::string>{});
  EXPECT_EQ(temporaryFiles(dir.path() + "elsewhere/"), std::vector<std::string>{});
}

TEST(OutputFileTest, AKilledRunLeavesEveryOutputWholeOrAbsent) {
  TempDir reference;
  copyExampleRoom(reference);
  ASSERT_EQ(runCommand(quoted(ROOMBOX_BINARY) + " " + quoted(reference.path()) +
                       " planes.txt room 2 --glb > /dev/null 2>&1")
                .status,
            1);
  const std::map<std::string, std::string> complete = contents(reference.path());

  // A run takes a few hundred milliseconds; kill it at random moments of it.
  std::mt19937 random(20);
  std::uniform_int_distribution<int> delay(0, 400);
  for (int round = 0; round < 8; ++round) {
    TempDir dir;
    copyExampleRoom(dir);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      const int null = ::open("/dev/null", O_WRONLY);
      ::dup2(null, 1);
      ::dup2(null, 2);
      ::execl(ROOMBOX_BINARY, ROOMBOX_BINARY, dir.path().c_str(), "planes.txt", "room", "2",
              "--glb", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(delay(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    for (const std::string& name : kOutputs) {
      if (!std::filesystem::exists(dir.path() + name)) continue;
      EXPECT_EQ(readWholeFile(dir.path() + name), complete.at(name))
          << name << " is there but not whole, round " << round;
    }
  }
}

}  // namespace
