// The --preview option, run end to end with the built binary on the example
// room: it adds the preview image and changes nothing else.
#include "support/run_binary.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <filesystem>
#include <set>
#include <string>

namespace {

// Runs roombox on the example room copied into dir, with the extra
// arguments after the four positional ones.
BinaryRun runExample(const TempDir& dir, const std::string& option, const std::string& extra) {
  copyExampleRoom(dir);
  return runRoombox(quoted(dir.path()) + " planes.txt room " + option + " " + extra);
}

TEST(PreviewOptionTest, AddsThePreviewImageAndChangesNoOtherOutput) {
  TempDir plain;
  TempDir withPreview;
  const BinaryRun before = runExample(plain, "2", "");
  const BinaryRun after = runExample(withPreview, "2", "--preview");
  EXPECT_EQ(after.status, 1);
  // No console line of its own.
  EXPECT_EQ(after.output, before.output);
  EXPECT_EQ(lastLine(after.output), "Done!!!");

  std::set<std::string> expected = filesIn(plain.path());
  EXPECT_EQ(expected.count("room-preview.png"), 0u);
  expected.insert("room-preview.png");
  EXPECT_EQ(filesIn(withPreview.path()), expected);
  for (const std::string& name : filesIn(plain.path())) {
    EXPECT_EQ(withPreview.read(name), plain.read(name)) << name;
  }

  // The 2048 x 1024 panorama as it is, with the plan and legend below.
  const cv::Mat preview = cv::imread(withPreview.path() + "room-preview.png", cv::IMREAD_UNCHANGED);
  ASSERT_FALSE(preview.empty());
  EXPECT_EQ(preview.type(), CV_8UC3);
  EXPECT_EQ(preview.cols, 2048);
  EXPECT_EQ(preview.rows, 1024 + 768);
}

TEST(PreviewOptionTest, APreviewThatCannotBeWrittenFailsTheRunAfterTheMeshFile) {
  TempDir dir;
  // A folder in the way of the preview file.
  std::filesystem::create_directory(dir.path() + "room-preview.png");
  const BinaryRun run = runExample(dir, "2", "--preview");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(lastLine(run.output), "Cannot write " + dir.path() + "room-preview.png");
  EXPECT_EQ(run.output.find("Done!!!"), std::string::npos);
  // Everything before it was written.
  EXPECT_FALSE(dir.read("room-rect.obj").empty());
  EXPECT_FALSE(dir.read("room.JSON").empty());
}

TEST(PreviewOptionTest, TheHelpNamesTheOption) {
  const BinaryRun help = runRoombox("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.output.find("--preview"), std::string::npos) << help.output;
}

}  // namespace
