#include "scene/scene_description.h"

#include "roombox/write_scene_file.h"
#include "support/expect_error.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>
#include <string>
#include <vector>

namespace roombox {
namespace {

// The inputs of one scene description.
struct Scene {
  std::vector<Plane> planes;
  std::vector<Cuboid> cuboids;
  std::vector<RectangleGroup> groups;
  std::vector<GroupLabel> groupLabels;

  void addCuboid(float category, float material, float x0, float x1, float y0, float y1,
                 float z0, float z1) {
    cuboids.push_back({1, x0, x1, y0, y1, z0, z1, category, material});
  }

  void addPlane(float type, float position, float u0, float u1, float v0, float v1,
                float material) {
    planes.push_back({1, type, position, u0, u1, v0, v1, 0, 0, 0, 0, material});
  }

  // Appends a group of category for sourceIndex of source, with instance
  // number instance and the material flags decoded from bits 1..11 of the
  // truncated material code.
  void addGroup(int category, int instance, float material, GroupSource source,
                int sourceIndex) {
    groups.push_back({category, instance, 0, -1, source, sourceIndex});
    GroupLabel label{};
    label.category = category;
    int w = static_cast<int>(material) / 2;
    for (int k = 1; k <= 11; ++k) {
      label.materials[k] = w % 2;
      w /= 2;
    }
    groupLabels.push_back(label);
  }

  // Fills groups and groupLabels the way mesh generation does: room planes
  // first, then cuboids of kind 1.0, each naming its source; instance
  // numbers counted per category.
  void makeGroups() {
    groups.clear();
    groupLabels.clear();
    int counters[15] = {};
    auto add = [&](int category, float material, GroupSource source, std::size_t index) {
      addGroup(category, ++counters[category], material, source, static_cast<int>(index));
    };
    for (std::size_t i = 0; i < planes.size(); ++i) {
      const Plane& p = planes[i];
      if (p.type == 7.0f || p.type == 9.0f) add(13, p.material, GroupSource::kPlane, i);
      if (p.type == 8.0f) add(p.position > 0 ? 3 : 5, p.material, GroupSource::kPlane, i);
    }
    for (std::size_t j = 0; j < cuboids.size(); ++j) {
      const Cuboid& c = cuboids[j];
      if (c.kind == 1.0f) add(static_cast<int>(c.category), c.material, GroupSource::kCuboid, j);
    }
  }

  std::string describe() const {
    RectangleMesh rectangles;
    rectangles.groups = groups;
    rectangles.groupLabels = groupLabels;
    return writeSceneDescription(buildSceneModel(planes, cuboids, rectangles), planes, cuboids);
  }
};

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

TEST(SceneDescription, ExampleRoomByteForByte) {
  Scene scene;
  scene.addCuboid(1, 2, 0.5f, 1.5f, -1.0f, 0.2f, -1.2f, -0.7f);
  scene.addPlane(7, 2.0f, -1.5f, 1.5f, -1.2f, 1.3f, 0);
  scene.makeGroups();
  EXPECT_EQ(scene.describe(),
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
TEST(SceneDescription, NamesMaterialsAndAxesOfEntries) {
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
    Scene scene;
    if (c.cuboid) {
      scene.addCuboid(c.typeOrCategory, c.material, -0.0000001f, 0, 0, 3, 1, 1.25f);
    } else {
      scene.addPlane(c.typeOrCategory, c.position, -1, 3, -2, 0.5f, c.material);
    }
    scene.makeGroups();
    const std::string text = scene.describe();
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

TEST(SceneDescription, LargeSceneIsWrittenWhole) {
  Scene scene;
  for (int j = 0; j < 150; ++j) {
    scene.addCuboid(6, 2046, j * 0.5f, j * 0.5f + 0.25f, -1.125f, 1.75f, -1.2f, 0.3f);
  }
  scene.makeGroups();
  const std::string text = scene.describe();
  EXPECT_GT(text.size(), 16384u);
  EXPECT_EQ(text.find('\0'), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 3), "}\n}");
  const nlohmann::json doc = nlohmann::json::parse(text);
  EXPECT_EQ(doc.size(), 150u);
  EXPECT_EQ(doc["Furniture_150"]["Centre_x"], 74.625);
  EXPECT_EQ(doc["Furniture_150"]["absorption"], 0.05);
}

// Boxes come first whatever the group order, then the room's surfaces; each
// entry takes the geometry of its own source, not of its position in a list.
TEST(SceneDescription, BoxEntriesComeFirstEachWithItsOwnSource) {
  Scene scene;
  scene.addPlane(3, 0.7f, 0, 1, 0, 1, 0);            // object plane: no entry of its own
  scene.addPlane(9, -2, -1, 3, -2, 0.5f, 0);         // wall
  scene.addCuboid(4, 0, 0, 1, 0, 2, 0, 4);           // chair, centre (0.5, 1, 2)
  scene.addCuboid(10, 0, 4, 6, -1, 1, -3, -1);       // table, centre (5, 0, -2)
  scene.addGroup(10, 1, 0, GroupSource::kCuboid, 1);
  scene.addGroup(13, 1, 0, GroupSource::kPlane, 1);
  scene.addGroup(4, 1, 0, GroupSource::kCuboid, 0);
  const std::string text = scene.describe();
  SCOPED_TRACE(text);
  const nlohmann::ordered_json doc = nlohmann::ordered_json::parse(text);
  std::vector<std::string> names;
  for (const auto& entry : doc.items()) names.push_back(entry.key());
  EXPECT_EQ(names, (std::vector<std::string>{"Table_1", "Chair_1", "Wall_1"}));
  std::string materials, geometry;
  listValues(text, materials, geometry);
  EXPECT_EQ(geometry, "5 0 -2 2 2 2 0.5 1 2 1 2 4 1 -0.75 -2 4 2.5 0 ");
}

TEST(SceneDescription, GroupThatCannotBeDescribedThrows) {
  struct Case {
    const char* name;
    RectangleGroup group;
    bool labelled;
  };
  const Case cases[] = {
      {"category without a name", {15, 1, 0, 5, GroupSource::kCuboid, 0}, true},
      {"negative category", {-1, 1, 0, 5, GroupSource::kCuboid, 0}, true},
      {"no label", {4, 1, 0, 5, GroupSource::kCuboid, 0}, false},
      {"box past the cuboids", {4, 1, 0, 5, GroupSource::kCuboid, 1}, true},
      {"plane past the planes", {13, 1, 0, 0, GroupSource::kPlane, 1}, true},
      {"negative source", {13, 1, 0, 0, GroupSource::kPlane, -1}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Scene scene;
    scene.addCuboid(4, 0, 0, 1, 0, 1, 0, 1);
    scene.addPlane(7, 2.0f, -1.5f, 1.5f, -1.2f, 1.3f, 0);
    scene.groups.assign(1, c.group);
    if (c.labelled) scene.groupLabels.assign(1, GroupLabel{});
    EXPECT_ROOMBOX_ERROR(
        scene.describe(),
        "^Cannot describe the scene: rectangle group 1 has no label, category or source$");
  }
}

// A scene model that does not belong to the lists it is written with is
// refused, never read past their end.
TEST(SceneDescription, EntryWithoutItsSourceThrows) {
  Scene scene;
  scene.addCuboid(4, 0, 0, 1, 0, 1, 0, 1);
  scene.addPlane(7, 2.0f, -1.5f, 1.5f, -1.2f, 1.3f, 0);
  scene.makeGroups();
  RectangleMesh rectangles;
  rectangles.groups = scene.groups;
  rectangles.groupLabels = scene.groupLabels;
  const SceneModel model = buildSceneModel(scene.planes, scene.cuboids, rectangles);
  EXPECT_ROOMBOX_ERROR(writeSceneDescription(model, {}, scene.cuboids),
                       "^Cannot describe the scene: Wall_1 has no source$");
  EXPECT_ROOMBOX_ERROR(writeSceneDescription(model, scene.planes, {}),
                       "^Cannot describe the scene: Chair_1 has no source$");
}

TEST(SceneDescription, FileHoldsTextAndOneLineFeed) {
  TempDir dir;
  Reconstruction room;
  room.sceneText = "{\n}";
  writeSceneFile(room, dir.path() + "scene-test.JSON");
  EXPECT_EQ(dir.read("scene-test.JSON"), "{\n}\n");

  EXPECT_ROOMBOX_ERROR(writeSceneFile(room, "/nonexistent-roombox-dir/scene-test.JSON"),
                       "^Cannot open /nonexistent-roombox-dir/scene-test\\.JSON$");
}

}  // namespace
}  // namespace roombox
