// Runs the built binary to check the command line handling end to end.
#include "support/run_binary.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

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

}  // namespace
