// The command line: the save option's conversion, the console text of a
// failure, and the handling of the arguments end to end by running the built
// binary.
#include "driver/command_line.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include "roombox/error.h"
#include "roombox/version.h"

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <climits>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>

namespace {

TEST(CommandLineTest, FewerThanFourArgumentsPrintTheUsageTextAndTouchNothing) {
  TempDir dir;
  for (const std::string arguments : {"", "a", "a b", "a b c"}) {
    const BinaryRun run = runRoombox(arguments, dir.path());
    EXPECT_EQ(run.status, 2) << arguments;
    EXPECT_EQ(run.output,
              std::string("Syntax is: ") + ROOMBOX_BINARY +
                  " [Base Path] [Plain Info File] [Output name (Prefix)] [Save Option] \n"
                  "\tSave Option: 0: obj with obj/material info  1: obj rectangle with coloured "
                  "obj info 2: obj rectangle with texture \n")
        << arguments;
  }
  EXPECT_EQ(std::system(("test -z \"$(ls -A '" + dir.path() + "')\"").c_str()), 0)
      << "the usage run created a file";
}

TEST(CommandLineTest, AMissingPanoramaStopsBeforeThePlaneFileIsRead) {
  TempDir dir;
  const BinaryRun run = runRoombox("'" + dir.path() + "' planes.txt room 2");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.output, "Loading files\nTexture merge\nCannot open the texture image - " +
                            dir.path() + "shifted_t.png\n");
}

TEST(CommandLineTest, ArgumentsOfAnyLengthAreHandledWhole) {
  TempDir dir;
  const std::string longName(600, 'p');
  const BinaryRun run = runRoombox("'" + dir.path() + longName + "/' planes.txt " +
                                   std::string(400, 'o') + " 2 extra arguments");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.output.find(dir.path() + longName + "/shifted_t.png\n"), std::string::npos)
      << run.output;
}

// The named options: --help and --version, before or after the four
// positional arguments, answer with status 0 and run nothing.
TEST(CommandLineTest, HelpAndVersionAnswerWithoutRunning) {
  TempDir dir;
  for (const std::string arguments : {"--help", "-h", "a b --help", "a b c 2 --help"}) {
    const BinaryRun run = runRoombox(arguments, dir.path());
    EXPECT_EQ(run.status, 0) << arguments;
    EXPECT_NE(run.output.find("Usage:"), std::string::npos) << arguments << "\n" << run.output;
    EXPECT_NE(run.output.find("save option"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("Exit status"), std::string::npos) << run.output;
  }
  for (const std::string arguments : {"--version", "a b c 2 --version"}) {
    const BinaryRun run = runRoombox(arguments, dir.path());
    EXPECT_EQ(run.status, 0) << arguments;
    EXPECT_EQ(run.output, std::string("roombox ") + roombox::kVersion + "\n") << arguments;
  }
  EXPECT_EQ(std::system(("test -z \"$(ls -A '" + dir.path() + "')\"").c_str()), 0)
      << "a help or version run created a file";
}

// The first four arguments are the run's, whatever they look like: a save
// option or a base path that begins with '-' is not taken for an option.
TEST(CommandLineTest, ArgumentsThatLookLikeOptionsArePositional) {
  TempDir dir;
  const BinaryRun negative = runRoombox("'" + dir.path() + "' planes.txt room -1 --unknown x");
  EXPECT_EQ(negative.status, 2);
  EXPECT_EQ(negative.output, "Loading files\nTexture merge\nCannot open the texture image - " +
                                 dir.path() + "shifted_t.png\n");
  const BinaryRun dashed = runRoombox("-x planes.txt room 2", dir.path());
  EXPECT_EQ(dashed.output, "Loading files\nTexture merge\nCannot open the texture image - "
                           "-xshifted_t.png\n");
}

// OpenCV's own log lines stay off standard error: roombox's message says it.
TEST(CommandLineTest, AMissingPanoramaLeavesStandardErrorEmpty) {
  TempDir dir;
  const ToolRun run = runTool(dir.path(), "planes.txt", "room", "2");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.errors, "");
}

// A run whose console output cannot be written has failed.
TEST(CommandLineTest, AFailedWriteToStandardOutputEndsWithTheFailureStatus) {
  TempDir dir;
  copyExampleRoom(dir);
  const CommandRun run = runCommand(quoted(ROOMBOX_BINARY) + " " + quoted(dir.path()) +
                                    " planes.txt room 2 > /dev/full 2>/dev/null; echo $?");
  EXPECT_EQ(run.output, "2\n");
  const CommandRun usage = runCommand(quoted(ROOMBOX_BINARY) + " > /dev/full 2>/dev/null; echo $?");
  EXPECT_EQ(usage.output, "2\n");
}

// The example room needs far less memory than an address-space limit of
// 150 MB: the stores are sized by the room, not by fixed capacities, and
// OpenCV's codec libraries are not loaded for a plain PNG panorama.
TEST(CommandLineTest, TheExampleRoomRunsWithinALimitedAddressSpace) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit";
#else
  TempDir dir;
  copyExampleRoom(dir);
  const CommandRun run =
      runCommand("ulimit -v 150000 && " + quoted(ROOMBOX_BINARY) + " " + quoted(dir.path()) +
                 " planes.txt room 2 2>/dev/null");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(lastLine(run.output), "Done!!!");
  // A panorama too large for the limit ends with a message that says so,
  // not with an abort nor as a file that cannot be opened.
  cv::imwrite(dir.path() + "shifted_t.png", cv::Mat(8192, 8192, CV_8UC3, cv::Scalar(40, 80, 120)));
  const CommandRun large =
      runCommand("ulimit -v 150000 && " + quoted(ROOMBOX_BINARY) + " " + quoted(dir.path()) +
                 " planes.txt room 2 2>/dev/null");
  EXPECT_EQ(large.status, 2) << large.output;
  EXPECT_EQ(lastLine(large.output), "Out of memory");
#endif
}

}  // namespace

namespace roombox {
namespace {

// A textured mesh written under any name finds a texture: the run's own
// pairing for "<prefix>-rect.obj", else the name without its extension.
TEST(TextureNameForMeshTest, FollowsTheRunsNamesAndOtherwiseDropsTheExtension) {
  const struct {
    const char* mesh;
    const char* texture;
  } cases[] = {
      {"out/room-rect.obj", "out/room-texture.png"}, {"room-rect.obj", "room-texture.png"},
      {"out/scene.obj", "out/scene-texture.png"},    {"a.b.obj", "a.b-texture.png"},
      {"v1.2/scene", "v1.2/scene-texture.png"},      {"out/.hidden", "out/.hidden-texture.png"},
      {"room-rect.obj.tmp", "room-rect.obj-texture.png"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(roombox::textureNameForMesh(c.mesh), c.texture) << c.mesh;
  }
}

TEST(ParseSaveOptionTest, ConvertsLikeAtoiAndClampsInsteadOfOverflowing) {
  struct Case {
    const char* text;
    int expected;
  };
  const Case cases[] = {
      {"2", 2},           {"2abc", 2},          {"abc", 0},          {"", 0},
      {" \t\n3", 3},      {"+1", 1},            {"-1", -1},          {"- 1", 0},
      {"007", 7},         {"3.9", 3},           {"2147483647", INT_MAX},
      {"2147483648", INT_MAX},                  {"99999999999999999999999", INT_MAX},
      {"-2147483648", INT_MIN},                 {"-2147483649", INT_MIN},
      {"-99999999999999999999999", INT_MIN},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(parseSaveOption(c.text), c.expected) << '"' << c.text << '"';
  }
}

// The console text of a failure: its message and one line feed, a blank line
// after the plane info files' failures and OpenCV's (whose own line feed is
// not part of the message).
TEST(ConsoleTextTest, EndsAFailureWithALineFeedAndABlankLineOnlyForSomeKinds) {
  const auto consoleTextOf = [](const std::function<void()>& fail) {
    try {
      fail();
    } catch (...) {
      const Failure failure = currentFailure();
      EXPECT_TRUE(failure.message.empty() || failure.message.back() != '\n') << failure.message;
      return consoleText(failure);
    }
    return std::string("no failure");
  };
  EXPECT_EQ(consoleTextOf([] { throw Error("Cannot write x"); }), "Cannot write x\n");
  EXPECT_EQ(consoleTextOf([] { throw Error("The file x was not opened", ErrorKind::kPlaneFiles); }),
            "The file x was not opened\n\n");
  EXPECT_EQ(consoleTextOf([] { throw std::bad_alloc(); }), "Out of memory\n");
  EXPECT_EQ(consoleTextOf([] { throw std::runtime_error("odd"); }),
            "Unexpected failure: odd\n");
  const cv::Exception openCv(cv::Error::StsBadArg, "bad size", "resize", "resize.cpp", 7);
  const std::string openCvText = openCv.what();
  ASSERT_EQ(openCvText.back(), '\n');
  EXPECT_EQ(consoleTextOf([&] { throw openCv; }), "Failure in OpenCV: " + openCvText + "\n");
}

}  // namespace
}  // namespace roombox
