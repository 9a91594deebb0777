// OpenCV's image codecs are loaded only by runs that need them: without the
// library, a run that needs none still works, and one that needs it fails
// with a message and status 2, never with a crash.
#include "support/run_binary.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// Fills folder with a file that is no library under every name the image
// codec library has beside the one the build linked (its soname among
// them), so that the dynamic loader, searching folder first, finds no
// usable codec library.
void hideCodecLibrary(const std::string& folder) {
  const fs::path linked(ROOMBOX_IMGCODECS_FILE);
  const std::string stem = linked.filename().string();  // libopencv_imgcodecs.so
  int hidden = 0;
  for (const auto& entry : fs::directory_iterator(linked.parent_path())) {
    const std::string name = entry.path().filename().string();
    if (name.compare(0, stem.size(), stem) != 0) continue;
    std::ofstream(folder + name) << "no library\n";
    ++hidden;
  }
  ASSERT_GT(hidden, 0) << "nothing named " << stem << "* beside " << linked;
}

TEST(ImageCodecsTest, WithoutTheLibraryOnlyARunThatNeedsItFailsAndSaysWhy) {
  TempDir hide;
  hideCodecLibrary(hide.path());
  TempDir dir;
  copyExampleRoom(dir);
  const std::string command = "LD_LIBRARY_PATH=" + quoted(hide.path()) + " " +
                              quoted(ROOMBOX_BINARY) + " " + quoted(dir.path()) +
                              " planes.txt room 2";

  // A plain PNG panorama is read and the texture copied without the codecs.
  const CommandRun plain = runCommand(command + " 2>&1");
  EXPECT_EQ(plain.status, 1) << plain.output;

  // The preview is encoded by them.
  const CommandRun preview = runCommand(command + " --preview 2>&1");
  EXPECT_EQ(preview.status, 2) << preview.output;
  const std::string message = lastLine(preview.output);
  EXPECT_EQ(message.rfind("Cannot load", 0), 0u) << message;
  EXPECT_NE(message.find("libopencv_imgcodecs"), std::string::npos) << message;
  EXPECT_FALSE(fs::exists(dir.path() + "room-preview.png"));
}

}  // namespace
