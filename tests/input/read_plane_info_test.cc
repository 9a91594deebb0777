#include "input/read_plane_info.h"

#include "driver/scene_store.h"
#include "support/expect_stop.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A plane record line: active type position uMin uMax vMin vMax cx cy cz a b c d
// category material.
const char* kWallPositiveX = "1 7 2.5 -1 1 -1 1 2.5 0 0 1 0 0 -2.5 13 4\n";
const char* kWallNegativeX = "1 7 -2.5 -1 1 -1 1 -2.5 0 0 -1 0 0 -2.5 13 4\n";

class ReadPlaneInfoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sceneStore = SceneStore{};
    sceneStore.basePath = dir.path();
    sceneStore.planeInfoFile = "planes.txt";
  }
  void readText(const std::string& text) {
    dir.write("planes.txt", text);
    readPlaneInfo();
  }
  TempDir dir;
};

TEST_F(ReadPlaneInfoTest, ReadsRecordsInFieldOrder) {
  readText("1 0.05\n0 3 0.8 1 1.9 0.5 1.5 1.45 1 0.8 0 0 1 -0.8 10 6\n");
  ASSERT_EQ(sceneStore.planeCount, 1);
  EXPECT_EQ(sceneStore.mainPlaneCount, 1);
  EXPECT_EQ(sceneStore.cubeResolution, 0.05f);
  const Plane& p = sceneStore.planes[0];
  EXPECT_EQ(p.active, 0.0f);
  EXPECT_EQ(p.type, 3.0f);
  EXPECT_EQ(p.position, 0.8f);
  EXPECT_EQ(p.uMin, 1.0f);
  EXPECT_EQ(p.uMax, 1.9f);
  EXPECT_EQ(p.vMin, 0.5f);
  EXPECT_EQ(p.vMax, 1.5f);
  EXPECT_EQ(p.centreX, 1.45f);
  EXPECT_EQ(p.centreY, 1.0f);
  EXPECT_EQ(p.centreZ, 0.8f);
  EXPECT_EQ(p.category, 10.0f);
  EXPECT_EQ(p.material, 6.0f);
  // Oriented toward the origin: a plane at z = 0.8 gets c = -1, d = 0.8.
  EXPECT_EQ(sceneStore.equations[0].c, -1.0f);
  EXPECT_EQ(sceneStore.equations[0].d, 0.8f);
  EXPECT_EQ(sceneStore.planeSource[0], 0);
  EXPECT_EQ(sceneStore.edgeLinks.size(), 1u);
}

TEST_F(ReadPlaneInfoTest, TurnsEveryNormalTowardTheOrigin) {
  struct Case {
    const char* record;
    PlaneEquation expected;
  };
  const Case cases[] = {
      {kWallPositiveX, {-1, 0, 0, 2.5f}},
      {kWallNegativeX, {1, 0, 0, 2.5f}},
      // Already facing the origin: unchanged.
      {"1 7 2.5 -1 1 -1 1 2.5 0 0 -1 0 0 2.5 13 4\n", {-1, 0, 0, 2.5f}},
      // At position 0 the equation keeps the sign written in the file.
      {"1 8 0 -1 1 -1 1 0 0 0 0 0 -1 0 5 0\n", {0, 0, -1, 0}},
      {"1 8 0 -1 1 -1 1 0 0 0 0 0 1 0 5 0\n", {0, 0, 1, 0}},
  };
  for (const Case& c : cases) {
    readText(std::string("1 0.05\n") + c.record);
    const PlaneEquation& e = sceneStore.equations[0];
    EXPECT_EQ(e.a, c.expected.a) << c.record;
    EXPECT_EQ(e.b, c.expected.b) << c.record;
    EXPECT_EQ(e.c, c.expected.c) << c.record;
    EXPECT_EQ(e.d, c.expected.d) << c.record;
  }
}

TEST_F(ReadPlaneInfoTest, LineStructureCarriesNoMeaning) {
  readText(std::string("2 0.05 ") + kWallPositiveX + kWallNegativeX);
  const Plane first = sceneStore.planes[1];
  std::string spread = "2\n0.05\n";
  for (const char* record : {kWallPositiveX, kWallNegativeX}) {
    for (const char* c = record; *c != '\0'; ++c) spread += *c == ' ' ? '\n' : *c;
  }
  readText(spread + "\t  trailing numbers are ignored 1 2 3");
  ASSERT_EQ(sceneStore.planeCount, 2);
  EXPECT_EQ(sceneStore.planes[1].position, first.position);
  EXPECT_EQ(sceneStore.equations[1].a, 1.0f);
}

TEST_F(ReadPlaneInfoTest, AcceptsEveryNumberFormStrtofConsumes) {
  readText("+1 5e-2\n1 0x1.cp2 -.5 5. 1e1 -0 0 0 0 0 1 0 0 1e-45 14.9 -0.5\n");
  const Plane& p = sceneStore.planes[0];
  EXPECT_EQ(sceneStore.cubeResolution, 0.05f);
  EXPECT_EQ(p.type, 7.0f);  // hexadecimal float
  EXPECT_EQ(p.position, -0.5f);
  EXPECT_EQ(p.uMin, 5.0f);
  EXPECT_EQ(p.uMax, 10.0f);
  EXPECT_EQ(p.category, 14.9f);  // truncates to 14: accepted
}

TEST_F(ReadPlaneInfoTest, ZeroCountGivesAnEmptyPlaneList) {
  readText("0 0.1\n");
  EXPECT_EQ(sceneStore.planeCount, 0);
  EXPECT_TRUE(sceneStore.planes.empty());
  readText("-0 0.1");
  EXPECT_EQ(sceneStore.planeCount, 0);
}

TEST_F(ReadPlaneInfoTest, ReadsExtraViewsAfterTheMainFile) {
  sceneStore.viewCount = 2;
  sceneStore.viewPlaneFiles[0] = "view0.txt";
  sceneStore.viewPlaneFiles[1] = "view1.txt";
  dir.write("view0.txt", std::string("2 0.05\n") + kWallNegativeX + kWallPositiveX);
  dir.write("view1.txt", std::string("1 0.05\n") + kWallPositiveX);
  readText(std::string("1 0.05\n") + kWallNegativeX);
  EXPECT_EQ(sceneStore.planeCount, 4);
  EXPECT_EQ(sceneStore.mainPlaneCount, 1);
  EXPECT_EQ(sceneStore.viewPlaneCounts[0], 2);
  EXPECT_EQ(sceneStore.viewPlaneCounts[1], 1);
  EXPECT_EQ(sceneStore.viewFirstPlane[0], 1);
  EXPECT_EQ(sceneStore.viewFirstPlane[1], 3);
  EXPECT_EQ(sceneStore.planeSource, (std::vector<int>{0, 1, 1, 2}));
  EXPECT_EQ(sceneStore.planes[2].position, 2.5f);
  EXPECT_EQ(sceneStore.equations[2].a, -1.0f);
}

using ReadPlaneInfoDeathTest = ReadPlaneInfoTest;

TEST_F(ReadPlaneInfoDeathTest, StopsOnAViewOfAnotherResolution) {
  sceneStore.viewCount = 1;
  sceneStore.viewPlaneFiles[0] = "view0.txt";
  dir.write("view0.txt", "0 0.050001\n");
  dir.write("planes.txt", "0 0.05\n");
  EXPECT_STOPS(readPlaneInfo(), "^Cube resolutions are different\n\n$");
}

TEST_F(ReadPlaneInfoDeathTest, StopsOnAMissingFile) {
  const std::string path = dir.path() + "planes.txt";
  EXPECT_STOPS(readPlaneInfo(), "^The file " + path + " was not opened\n\n$");
  sceneStore.viewCount = 1;
  sceneStore.viewPlaneFiles[0] = "missing-view.txt";
  dir.write("planes.txt", "0 0.05\n");
  EXPECT_STOPS(readPlaneInfo(), "^The file " + dir.path() + "missing-view.txt was not opened\n\n$");
}

TEST_F(ReadPlaneInfoDeathTest, RejectsMalformedFilesNamingThePlaceOfTheFault) {
  const std::string record = "1 7 2.5 -1 1 -1 1 2.5 0 0 1 0 0 -2.5 13 4\n";
  struct Case {
    std::string text;
    const char* detail;
  };
  const Case cases[] = {
      {"", "the plane count is missing"},
      {"3.0 0.05", "the plane count is not a whole number"},
      {"x 0.05", "the plane count is not a whole number"},
      {"- 0.05", "the plane count is not a whole number"},
      {"-3 0.05", "negative plane count -3"},
      {"2147483648 0.05", "plane count 2147483648 is too large"},
      {"99999999999x 0.05", "the plane count is not a whole number"},
      {"1", "the cube resolution is missing"},
      {"1 abc", "the cube resolution is not a number"},
      {"1 inf", "the cube resolution is not finite"},
      {"3 0.05\n" + record + record + "1 7 2.5", "plane 3 ends early"},
      {"2 0.05\n" + record + "1 7 2.5 -1 1 -1 x 2.5 0 0 1 0 0 -2.5 13 4",
       "plane 2 number 7 is not a number"},
      {"1 0.05\n1 7 2.5 -1 1 -1 1,0 2.5 0 0 1 0 0 -2.5 13 4", "plane 1 number 7 is not a number"},
      {"1 0.05\n1 7 nan -1 1 -1 1 2.5 0 0 1 0 0 -2.5 13 4", "plane 1 number 3 is not finite"},
      {"1 0.05\n1 7 1e39 -1 1 -1 1 2.5 0 0 1 0 0 -2.5 13 4", "plane 1 number 3 is not finite"},
      {"1 0.05\n1 7 2.5 -1 1 -1 1 2.5 0 0 1 0 0 -2.5 17 4", "plane 1 category 17 is outside 0 to 14"},
      {"1 0.05\n1 7 2.5 -1 1 -1 1 2.5 0 0 1 0 0 -2.5 -1 4", "plane 1 category -1 is outside 0 to 14"},
      // A count far beyond the records present fails on the first missing
      // record, without reserving memory for the count.
      {"2000000000 0.05\n" + record, "plane 2 ends early"},
  };
  for (const Case& c : cases) {
    dir.write("planes.txt", c.text);
    EXPECT_STOPS(readPlaneInfo(), "^The file " + dir.path() + "planes.txt is malformed: " + c.detail + "\n$")
        << c.text;
  }
}

}  // namespace
