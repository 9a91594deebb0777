#include "scene/write_scene_description.h"
#include "scene/write_scene_file.h"

#include "driver/scene_store.h"
#include "support/expect_stop.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>
#include <string>

namespace {

void addCuboid(float category, float material, float x0, float x1, float y0, float y1, float z0,
               float z1) {
  sceneStore.cuboids.push_back({1, x0, x1, y0, y1, z0, z1, category, material});
  sceneStore.cuboidCount = static_cast<int>(sceneStore.cuboids.size());
}

void addPlane(float type, float position, float u0, float u1, float v0, float v1, float material) {
  sceneStore.planes.push_back({1, type, position, u0, u1, v0, v1, 0, 0, 0, 0, material});
  sceneStore.planeCount = static_cast<int>(sceneStore.planes.size());
}

// Fills groups and groupLabels the way mesh generation does: room planes
// first, then cuboids of kind 1.0; instance numbers counted per category;
// material flags decoded from bits 1..11 of the truncated code.
void makeGroups() {
  SceneStore& s = sceneStore;
  s.groups.assign(200, RectangleGroup{});
  s.groupLabels.assign(200, GroupLabel{});
  int counters[15] = {};
  auto add = [&](int category, float material) {
    const int g = s.groupCount++;
    s.groups[g] = {category, ++counters[category], 0, -1};
    s.groupLabels[g].category = category;
    int w = static_cast<int>(material) / 2;
    for (int k = 1; k <= 11; ++k) {
      s.groupLabels[g].materials[k] = w % 2;
      w /= 2;
    }
  };
  for (const Plane& p : s.planes) {
    if (p.type == 7.0f || p.type == 9.0f) add(13, p.material);
    if (p.type == 8.0f) add(p.position > 0 ? 3 : 5, p.material);
  }
  for (const Cuboid& c : s.cuboids) {
    if (c.kind == 1.0f) add(static_cast<int>(c.category), c.material);
  }
}

// The "Material" values of the document, and its numbers after "Centre_" or
// "Length_" keys, each followed by a blank.
void listValues(const std::string& text, std::string& materials, std::string& geometry) {
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    const size_t colon = line.find("\": ");
    if (colon == std::string::npos) continue;
    if (line.back() == ',') line.pop_back();
    const std::string value = line.substr(colon + 3) + " ";
    if (line.find("\"Material\"") != std::string::npos) materials += value;
    if (line.find("Centre_") != std::string::npos || line.find("Length_") != std::string::npos) {
      geometry += value;
    }
  }
}

class SceneDescription : public ::testing::Test {
 protected:
  void SetUp() override { sceneStore = SceneStore{}; }
};

TEST_F(SceneDescription, ExampleRoomByteForByte) {
  addCuboid(1, 2, 0.5f, 1.5f, -1.0f, 0.2f, -1.2f, -0.7f);
  addPlane(7, 2.0f, -1.5f, 1.5f, -1.2f, 1.3f, 0);
  makeGroups();
  writeSceneDescription();
  EXPECT_EQ(sceneStore.sceneText,
            "{\n"
            "    \"Bed_1\": {\n"
            "        \"Category\": \"Bed\",\n"
            "        \"Material\": \"Wood\",\n"
            "        \"Centre_x\": 1,\n"
            "        \"Centre_y\": -0.4,\n"
            "        \"Centre_z\": -0.95,\n"
            "        \"Length_x\": 1,\n"
            "        \"Length_y\": 1.2,\n"
            "        \"Length_z\": 0.5,\n"
            "        \"absorption\": 0.05,\n"
            "        \"scattering\": 0.02\n"
            "    },\n"
            "    \"Wall_1\": {\n"
            "        \"Category\": \"Wall\",\n"
            "        \"Material\": \"Painted\",\n"
            "        \"Material\": \"Brick\",\n"
            "        \"Centre_x\": 2,\n"
            "        \"Centre_y\": 0,\n"
            "        \"Centre_z\": 0.05,\n"
            "        \"Length_x\": 0,\n"
            "        \"Length_y\": 3,\n"
            "        \"Length_z\": 2.5,\n"
            "        \"absorption\": 0.05,\n"
            "        \"scattering\": 0.02\n"
            "    }\n"
            "}");
}

// One entry per case; a plane has u from -1 to 3 and v from -2 to 0.5, a
// cuboid x from -0.0000001 to 0, y from 0 to 3, z from 1 to 1.25.
TEST_F(SceneDescription, NamesMaterialsAndAxesOfEntries) {
  const struct {
    bool cuboid;
    float typeOrCategory, position, material;
    const char* name;
    const char* materials;
    const char* geometry;
  } cases[] = {
      {true, 4, 0, 0.0f, "Chair_1", "\"Unknown\" ", "-0 1.5 1.125 0 3 0.25 "},
      {true, 4, 0, 1.0f, "Chair_1", "", nullptr},
      {true, 4, 0, -6.0f, "Chair_1", "", nullptr},
      {true, 10, 0, 34.0f, "Table_1", "\"Wood\" \"Brick\" ", nullptr},
      {false, 7, 2, 6.0f, "Wall_1", "\"Wood\" \"Painted\" \"Brick\" ", "2 1 -0.75 0 4 2.5 "},
      {false, 9, -2, 36.0f, "Wall_1", "\"Painted\" \"Brick\" ", "1 -0.75 -2 4 2.5 0 "},
      {false, 8, 1.2f, 32.0f, "Ceiling_1", "\"Brick\" \"Painted\" ", "1 1.2 -0.75 4 0 2.5 "},
      {false, 8, 0, 4.0f, "Floor_1", "\"Painted\" ", "1 0 -0.75 4 0 2.5 "},
      {false, 8.5f, 1, 2.0f, nullptr, "", ""},
      {false, 6, 1, 2.0f, nullptr, "", ""},
  };
  for (const auto& c : cases) {
    sceneStore = SceneStore{};
    if (c.cuboid) {
      addCuboid(c.typeOrCategory, c.material, -0.0000001f, 0, 0, 3, 1, 1.25f);
    } else {
      addPlane(c.typeOrCategory, c.position, -1, 3, -2, 0.5f, c.material);
    }
    makeGroups();
    writeSceneDescription();
    const std::string& text = sceneStore.sceneText;
    std::string materials, geometry;
    listValues(text, materials, geometry);
    SCOPED_TRACE(text);
    EXPECT_EQ(materials, c.materials);
    if (c.geometry != nullptr) {
      EXPECT_EQ(geometry, c.geometry);
    }
    const std::string head = c.name ? std::string("{\n    \"") + c.name + "\": {\n" : "{\n}";
    EXPECT_EQ(text.substr(0, head.size()), head);
  }
}

TEST_F(SceneDescription, LargeSceneIsWrittenWhole) {
  for (int j = 0; j < 150; ++j) {
    addCuboid(6, 2046, j * 0.5f, j * 0.5f + 0.25f, -1.125f, 1.75f, -1.2f, 0.3f);
  }
  makeGroups();
  writeSceneDescription();
  const std::string& text = sceneStore.sceneText;
  EXPECT_GT(text.size(), 16384u);
  EXPECT_EQ(text.find('\0'), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 3), "}\n}");
  const nlohmann::json doc = nlohmann::json::parse(text);
  EXPECT_EQ(doc.size(), 150u);
  EXPECT_EQ(doc["Furniture_150"]["Centre_x"], 74.625);
  EXPECT_EQ(doc["Furniture_150"]["absorption"], 0.05);
}

TEST_F(SceneDescription, CategoryWithoutNameStopsTheRun) {
  addCuboid(15, 0, 0, 1, 0, 1, 0, 1);
  sceneStore.groups.assign(1, RectangleGroup{15, 1, 0, 5});
  sceneStore.groupLabels.assign(1, GroupLabel{});
  sceneStore.basePath = "out/";
  sceneStore.outputPrefix = "room";
  EXPECT_STOPS(writeSceneDescription(), "^Cannot write out/room\\.JSON\n$");
}

TEST_F(SceneDescription, FileHoldsTextAndOneLineFeed) {
  sceneStore.basePath = ::testing::TempDir();
  sceneStore.outputPrefix = "scene-test";
  sceneStore.sceneText = "{\n}";
  writeSceneFile();
  std::ifstream file(sceneStore.basePath + "scene-test.JSON", std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  EXPECT_EQ(content.str(), "{\n}\n");

  sceneStore.basePath = "/nonexistent-roombox-dir/";
  EXPECT_STOPS(writeSceneFile(), "^Cannot open /nonexistent-roombox-dir/scene-test\\.JSON\n$");
}

}  // namespace
