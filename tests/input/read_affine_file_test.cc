#include "input/view_transforms.h"

#include "support/expect_error.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace roombox {
namespace {

TEST(ReadAffineFile, ReturnsTheMatrixRowByRow) {
  // Rows spread over lines in any way, and anything after twelve numbers is
  // not read.
  TempDir dir;
  const std::string path = dir.write(
      "affine_print.txt", "1 0 0 0.5\n0 1\n0 -1.25\n0 0 1 2e0 trailing words\n");
  ::testing::internal::CaptureStdout();
  const ViewTransform transform = readAffineFile(path);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");  // the caller prints it
  const float expected[3][4] = {{1, 0, 0, 0.5f}, {0, 1, 0, -1.25f}, {0, 0, 1, 2.0f}};
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 4; ++column) {
      EXPECT_EQ(transform.matrix[row][column], expected[row][column]) << row << " " << column;
    }
  }
}

TEST(ReadAffineFile, MissingFileThrowsWithItsFullPath) {
  TempDir dir;
  const std::string path = dir.path() + "no_such_affine.txt";
  EXPECT_ROOMBOX_ERROR(readAffineFile(path), ("^The file " + path + " was not opened$").c_str());
}

TEST(ReadAffineFile, MalformedFilesThrowWithTheReason) {
  struct Case {
    const char* text;
    const char* detail;
  };
  const Case cases[] = {
      {"", "it ends early after 0 numbers"},
      {"1 0 0 0\n0 1 0\n", "it ends early after 7 numbers"},
      {"1 0 0 0\n0 1 x 0\n0 0 1 0\n", "row 2 number 3 is not a number"},
      {"1 0 0 0,5\n0 1 0 0\n0 0 1 0\n", "row 1 number 4 is not a number"},
      {"1 0 0 0\n0 1 0 0\nnan 0 1 0\n", "row 3 number 1 is not finite"},
      {"1 0 0 1e39\n0 1 0 0\n0 0 1 0\n", "row 1 number 4 is not finite"},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const std::string path = dir.write("affine_malformed.txt", c.text);
    EXPECT_ROOMBOX_ERROR(readAffineFile(path),
                         ("^The file " + path + " is malformed: " + c.detail + "$").c_str());
  }
}

}  // namespace
}  // namespace roombox
