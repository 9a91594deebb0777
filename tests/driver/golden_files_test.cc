// Compares every output of the example room, for every save option, with the
// golden files in tests/golden/example-room/ byte for byte: the console
// output, the cuboid text, the JSON file and the mesh files. The texture is
// compared with the panorama pixel by pixel. After a deliberate change of an
// output, scripts/update-golden.sh regenerates the golden files.
#include "support/run_binary.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kGolden = std::string(ROOMBOX_EXAMPLES) + "/../tests/golden/example-room/";

// Where two texts first differ, as "line N: expected ... got ...", for a
// readable failure; empty when they are equal.
std::string firstDifference(const std::string& expected, const std::string& actual) {
  if (expected == actual) return "";
  std::istringstream e(expected), a(actual);
  std::string expectedLine, actualLine;
  for (int line = 1;; ++line) {
    const bool moreExpected = static_cast<bool>(std::getline(e, expectedLine));
    const bool moreActual = static_cast<bool>(std::getline(a, actualLine));
    if (!moreExpected && !moreActual) break;
    if (!moreExpected || !moreActual || expectedLine != actualLine) {
      return "line " + std::to_string(line) + ": expected \"" +
             (moreExpected ? expectedLine : "<end of file>") + "\", got \"" +
             (moreActual ? actualLine : "<end of file>") + "\"";
    }
  }
  return "the texts differ only in their line ends (" + std::to_string(expected.size()) +
         " bytes expected, " + std::to_string(actual.size()) + " written)";
}

void expectSameAsGolden(const std::string& goldenName, const std::string& actual,
                        const std::string& context) {
  const std::string expected = readWholeFile(kGolden + goldenName);
  ASSERT_FALSE(expected.empty()) << "golden file " << kGolden + goldenName << " is missing";
  EXPECT_TRUE(expected == actual) << context << ": " << goldenName << " differs from the golden "
                                  << "file, " << firstDifference(expected, actual);
}

TEST(GoldenFilesTest, EveryOutputOfTheExampleRoomMatchesItsGoldenFile) {
  const cv::Mat panorama =
      cv::imread(std::string(ROOMBOX_EXAMPLES) + "/shifted_t.png", cv::IMREAD_UNCHANGED);
  ASSERT_FALSE(panorama.empty());
  for (const SaveOptionFiles& c : exampleSaveOptions()) {
    const std::string context = std::string("save option ") + c.option;
    TempDir dir;
    const ToolRun run = runExampleRoom(dir, c.option);
    EXPECT_EQ(run.status, 1) << context;
    expectSameAsGolden(std::string("console-option-") + c.option + ".txt", run.output, context);

    std::vector<std::string> compared = {"room_cuboid.txt", "room.JSON"};
    compared.insert(compared.end(), c.meshFiles.begin(), c.meshFiles.end());
    for (const std::string& name : compared) {
      expectSameAsGolden(name, readWholeFile(dir.path() + name), context);
    }
    std::set<std::string> expectedFiles(compared.begin(), compared.end());
    expectedFiles.insert({"planes.txt", "shifted_t.png", "room-texture.png"});
    EXPECT_EQ(filesIn(dir.path()), expectedFiles) << context;

    const cv::Mat texture = cv::imread(dir.path() + "room-texture.png", cv::IMREAD_UNCHANGED);
    ASSERT_EQ(texture.size(), panorama.size()) << context;
    ASSERT_EQ(texture.type(), panorama.type()) << context;
    EXPECT_EQ(cv::norm(texture, panorama, cv::NORM_INF), 0.0) << context;
  }
}

// Every golden file is produced by some run above, so that none lingers after
// an output was renamed or dropped.
TEST(GoldenFilesTest, TheGoldenFolderHoldsNoOtherFile) {
  const std::set<std::string> expected = {
      "console-option-0.txt", "console-option-1.txt",        "console-option-2.txt",
      "console-option-3.txt", "console-option-7.txt",        "room_cuboid.txt",
      "room.JSON",            "room-rect-Object.obj",        "room-rect-Object-colour.obj",
      "room-rect.obj",        "room-rect.obj.mtl",           "room-rect-Object.off"};
  EXPECT_EQ(filesIn(kGolden), expected);
}

}  // namespace
