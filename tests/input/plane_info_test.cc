#include "roombox/read_plane_info.h"

#include "support/expect_error.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace roombox {
namespace {

// A plane record line: active type position uMin uMax vMin vMax cx cy cz a b c d
// category material.
const char* kWallPositiveX = "1 7 2.5 -1 1 -1 1 2.5 0 0 1 0 0 -2.5 13 4\n";
const char* kWallNegativeX = "1 7 -2.5 -1 1 -1 1 -2.5 0 0 -1 0 0 -2.5 13 4\n";

class ReadPlaneInfoTest : public ::testing::Test {
 protected:
  // Reads planes.txt of the folder with the test's view configuration.
  PlaneList read() const { return readPlaneInfo(dir.path(), "planes.txt", views); }
  PlaneList readText(const std::string& text) const {
    dir.write("planes.txt", text);
    return read();
  }
  // The kind of the Error that read() throws.
  ErrorKind failureKind() const {
    try {
      read();
    } catch (const Error& error) {
      return error.kind();
    }
    ADD_FAILURE() << "no Error";
    return ErrorKind::kGeneral;
  }
  TempDir dir;
  ViewConfig views;
};

TEST_F(ReadPlaneInfoTest, ReadsRecordsInFieldOrder) {
  const PlaneList list = readText("1 0.05\n0 3 0.8 1 1.9 0.5 1.5 1.45 1 0.8 0 0 1 -0.8 10 6\n");
  ASSERT_EQ(list.planes.size(), 1u);
  ASSERT_EQ(list.equations.size(), 1u);
  ASSERT_EQ(list.planeSource.size(), 1u);
  EXPECT_EQ(list.planeSource[0], 0);
  EXPECT_EQ(list.cubeResolution, 0.05f);
  const Plane& p = list.planes[0];
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
  EXPECT_EQ(list.equations[0].c, -1.0f);
  EXPECT_EQ(list.equations[0].d, 0.8f);
  EXPECT_EQ(list.planeSource[0], 0);
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
    const PlaneList list = readText(std::string("1 0.05\n") + c.record);
    ASSERT_EQ(list.equations.size(), 1u) << c.record;
    const PlaneEquation& e = list.equations[0];
    EXPECT_EQ(e.a, c.expected.a) << c.record;
    EXPECT_EQ(e.b, c.expected.b) << c.record;
    EXPECT_EQ(e.c, c.expected.c) << c.record;
    EXPECT_EQ(e.d, c.expected.d) << c.record;
  }
}

TEST_F(ReadPlaneInfoTest, LineStructureCarriesNoMeaning) {
  const Plane first =
      readText(std::string("2 0.05 ") + kWallPositiveX + kWallNegativeX).planes.at(1);
  std::string spread = "2\n0.05\n";
  for (const char* record : {kWallPositiveX, kWallNegativeX}) {
    for (const char* c = record; *c != '\0'; ++c) spread += *c == ' ' ? '\n' : *c;
  }
  const PlaneList list = readText(spread + "\t  trailing numbers are ignored 1 2 3");
  ASSERT_EQ(list.planes.size(), 2u);
  EXPECT_EQ(list.planes[1].position, first.position);
  EXPECT_EQ(list.equations[1].a, 1.0f);
}

TEST_F(ReadPlaneInfoTest, AcceptsEveryNumberFormStrtofConsumes) {
  const PlaneList list =
      readText("+1 5e-2\n1 0x1.cp2 -.5 5. 1e1 -0 0 0 0 0 1 0 0 1e-45 14.9 -0.5\n");
  ASSERT_EQ(list.planes.size(), 1u);
  const Plane& p = list.planes[0];
  EXPECT_EQ(list.cubeResolution, 0.05f);
  EXPECT_EQ(p.type, 7.0f);  // hexadecimal float
  EXPECT_EQ(p.position, -0.5f);
  EXPECT_EQ(p.uMin, 5.0f);
  EXPECT_EQ(p.uMax, 10.0f);
  EXPECT_EQ(p.category, 14.9f);  // truncates to 14: accepted
}

TEST_F(ReadPlaneInfoTest, ZeroCountGivesAnEmptyPlaneList) {
  const PlaneList list = readText("0 0.1\n");
  EXPECT_TRUE(list.planes.empty());
  EXPECT_TRUE(list.equations.empty());
  EXPECT_TRUE(list.planeSource.empty());
  EXPECT_TRUE(readText("-0 0.1").planes.empty());
}

TEST_F(ReadPlaneInfoTest, ReadsExtraViewsAfterTheMainFile) {
  views.viewCount = 2;
  views.viewPlaneFiles[0] = "view0.txt";
  views.viewPlaneFiles[1] = "view1.txt";
  dir.write("view0.txt", std::string("2 0.05\n") + kWallNegativeX + kWallPositiveX);
  dir.write("view1.txt", std::string("1 0.05\n") + kWallPositiveX);
  const PlaneList list = readText(std::string("1 0.05\n") + kWallNegativeX);
  ASSERT_EQ(list.planes.size(), 4u);
  ASSERT_EQ(list.equations.size(), 4u);
  EXPECT_EQ(list.viewPlaneCounts[0], 2);
  EXPECT_EQ(list.viewPlaneCounts[1], 1);
  EXPECT_EQ(list.viewFirstPlane[0], 1);
  EXPECT_EQ(list.viewFirstPlane[1], 3);
  EXPECT_EQ(list.viewResolutions[0], 0.05f);
  EXPECT_EQ(list.planeSource, (std::vector<int>{0, 1, 1, 2}));
  EXPECT_EQ(list.planes[2].position, 2.5f);
  EXPECT_EQ(list.equations[2].a, -1.0f);
}

TEST_F(ReadPlaneInfoTest, ThrowsOnAViewOfAnotherResolution) {
  views.viewCount = 1;
  views.viewPlaneFiles[0] = "view0.txt";
  dir.write("view0.txt", "0 0.050001\n");
  dir.write("planes.txt", "0 0.05\n");
  EXPECT_ROOMBOX_ERROR(read(), "^Cube resolutions are different$");
  EXPECT_EQ(failureKind(), ErrorKind::kPlaneFiles);
}

TEST_F(ReadPlaneInfoTest, ThrowsOnAMissingFile) {
  const std::string path = dir.path() + "planes.txt";
  EXPECT_ROOMBOX_ERROR(read(), ("^The file " + path + " was not opened$").c_str());
  views.viewCount = 1;
  views.viewPlaneFiles[0] = "missing-view.txt";
  dir.write("planes.txt", "0 0.05\n");
  const std::string viewPath = dir.path() + "missing-view.txt";
  EXPECT_ROOMBOX_ERROR(read(), ("^The file " + viewPath + " was not opened$").c_str());
  EXPECT_EQ(failureKind(), ErrorKind::kPlaneFiles);
}

TEST_F(ReadPlaneInfoTest, RejectsMalformedFilesNamingThePlaceOfTheFault) {
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
    SCOPED_TRACE(c.text);
    dir.write("planes.txt", c.text);
    const std::string expected =
        "^The file " + dir.path() + "planes.txt is malformed: " + c.detail + "$";
    EXPECT_ROOMBOX_ERROR(read(), expected.c_str());
  }
}

// Records held in memory get the equation of their type's axis, turned
// toward the origin; the types that share an axis get the same normal.
TEST(PlaneListFromRecordsTest, GivesEachTypeTheNormalOfItsAxisTowardTheOrigin) {
  struct Case {
    float type;
    float position;
    PlaneEquation expected;
  };
  const Case cases[] = {
      {1.0f, 2.0f, {-1, 0, 0, 2}},  {4.0f, -1.5f, {1, 0, 0, 1.5f}}, {7.0f, 0.0f, {1, 0, 0, 0}},
      {2.0f, 0.5f, {0, -1, 0, 0.5f}}, {5.0f, -3.0f, {0, 1, 0, 3}}, {9.0f, 2.0f, {0, -1, 0, 2}},
      {3.0f, 0.8f, {0, 0, -1, 0.8f}}, {6.0f, -0.25f, {0, 0, 1, 0.25f}},
      {8.0f, -1.2f, {0, 0, 1, 1.2f}},
  };
  std::vector<Plane> planes;
  for (const Case& c : cases) {
    planes.push_back({1, c.type, c.position, -1, 1, -1, 1, 0, 0, 0, 14.9f, 3});
  }
  const PlaneList list = planeListFromRecords(planes, 0.05f);
  EXPECT_EQ(list.cubeResolution, 0.05f);
  EXPECT_EQ(list.planeSource, std::vector<int>(9, 0));
  ASSERT_EQ(list.planes.size(), 9u);
  EXPECT_EQ(list.planes[8].category, 14.9f);
  ASSERT_EQ(list.equations.size(), 9u);
  for (std::size_t i = 0; i < 9; ++i) {
    const PlaneEquation& e = list.equations[i];
    const PlaneEquation& x = cases[i].expected;
    EXPECT_TRUE(e.a == x.a && e.b == x.b && e.c == x.c && e.d == x.d)
        << "type " << cases[i].type << ": " << e.a << " " << e.b << " " << e.c << " " << e.d;
  }
  EXPECT_TRUE(planeListFromRecords({}, 0.1f).planes.empty());
}

TEST(PlaneListFromRecordsTest, RejectsWhatTheFileReaderRejectsNamingThePlane) {
  const Plane good{1, 7, 2.5f, -1, 1, -1, 1, 2.5f, 0, 0, 13, 4};
  Plane badType = good;
  badType.type = 10;
  Plane between = good;
  between.type = 7.5f;
  Plane category = good;
  category.category = 15;
  Plane negative = good;
  negative.category = -1;
  Plane infinite = good;
  infinite.vMax = INFINITY;
  Plane missing = good;
  missing.material = NAN;
  EXPECT_ROOMBOX_ERROR(planeListFromRecords({good, badType}, 0.05f), "^plane 2: the type");
  EXPECT_ROOMBOX_ERROR(planeListFromRecords({between}, 0.05f), "^plane 1: the type");
  EXPECT_ROOMBOX_ERROR(planeListFromRecords({good, good, category}, 0.05f),
                       "^plane 3: the category is outside 0 to 14$");
  EXPECT_ROOMBOX_ERROR(planeListFromRecords({negative}, 0.05f), "^plane 1: the category");
  EXPECT_ROOMBOX_ERROR(planeListFromRecords({infinite}, 0.05f),
                       "^plane 1 number 7 is not finite$");
  EXPECT_ROOMBOX_ERROR(planeListFromRecords({missing}, 0.05f), "^plane 1 number 12 is not finite$");
  EXPECT_ROOMBOX_ERROR(planeListFromRecords({good}, NAN), "cube resolution is not finite");
}

}  // namespace
}  // namespace roombox
