#include "input/read_affine_file.h"

#include "driver/scene_store.h"
#include "support/expect_stop.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// Writes text to a file under the test temporary folder, points the base
// path at that folder and returns the file name.
std::string writeAffineFile(const std::string& name, const std::string& text) {
  sceneStore = SceneStore{};
  sceneStore.basePath = ::testing::TempDir();
  FILE* file = std::fopen((sceneStore.basePath + name).c_str(), "w");
  std::fputs(text.c_str(), file);
  std::fclose(file);
  return name;
}

TEST(ReadAffineFile, StoresAndPrintsTheMatrix) {
  // Rows spread over lines in any way, and anything after twelve numbers is
  // not read.
  const std::string name = writeAffineFile(
      "affine_print.txt", "1 0 0 0.5\n0 1\n0 -1.25\n0 0 1 2e0 trailing words\n");
  ::testing::internal::CaptureStdout();
  readAffineFile(2, name);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "Transform matrix\n"
            "1.000000 0.000000 0.000000 0.500000\n"
            "0.000000 1.000000 0.000000 -1.250000\n"
            "0.000000 0.000000 1.000000 2.000000\n"
            "\n");
  EXPECT_EQ(sceneStore.viewTransforms[2][0][3], 0.5f);
  EXPECT_EQ(sceneStore.viewTransforms[2][1][3], -1.25f);
  EXPECT_EQ(sceneStore.viewTransforms[2][2][2], 1.0f);
  EXPECT_EQ(sceneStore.viewTransforms[0][0][0], 0.0f);  // other slots untouched
}

TEST(ReadAffineFileDeathTest, MissingFileStopsWithItsFullPath) {
  sceneStore = SceneStore{};
  sceneStore.basePath = ::testing::TempDir();
  const std::string path = sceneStore.basePath + "no_such_affine.txt";
  EXPECT_STOPS(readAffineFile(0, "no_such_affine.txt"), "^The file " + path + " was not opened\n$");
}

TEST(ReadAffineFileDeathTest, MalformedFilesStopWithTheReason) {
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
  for (const Case& c : cases) {
    const std::string name = writeAffineFile("affine_malformed.txt", c.text);
    const std::string path = sceneStore.basePath + name;
    EXPECT_STOPS(readAffineFile(1, name),
                 "^The file " + path + " is malformed: " + c.detail + "\n$")
        << c.text;
  }
}

}  // namespace
