// The --glb and --baked-obj outputs of the example room, opened by real
// consumers: tinygltf's loader (valid glTF 2.0), assimp, and the scene
// description they must agree with.
#include "driver/consumer_readers.h"
#include "support/gltf_validator.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <tiny_gltf.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

// Runs the room in dir with save option 2 and the named options.
ToolRun runInFolder(const TempDir& dir, const std::string& options) {
  const CommandRun run = runCommand(quoted(ROOMBOX_BINARY) + " " + quoted(dir.path()) +
                                    " planes.txt room 2 " + options);
  return ToolRun{run.status, run.output, ""};
}

// The distinct values of an accessor of 32-bit unsigned indices.
std::set<std::uint32_t> distinctIndices(const tinygltf::Model& model, int accessorIndex) {
  const tinygltf::Accessor& accessor = model.accessors.at(static_cast<std::size_t>(accessorIndex));
  const tinygltf::BufferView& view = model.bufferViews.at(static_cast<std::size_t>(accessor.bufferView));
  const std::vector<unsigned char>& data = model.buffers.at(static_cast<std::size_t>(view.buffer)).data;
  std::set<std::uint32_t> values;
  if (accessor.componentType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT) return values;
  const std::size_t start = view.byteOffset + accessor.byteOffset;
  for (std::size_t k = 0; k < accessor.count && start + 4 * (k + 1) <= data.size(); ++k) {
    std::uint32_t value = 0;
    std::memcpy(&value, data.data() + start + 4 * k, 4);
    values.insert(value);
  }
  return values;
}

// Runs the example room in dir with save option 2 and the named options.
ToolRun runWithOptions(const TempDir& dir, const std::string& options) {
  copyExampleRoom(dir);
  return runInFolder(dir, options);
}

TEST(GlbFileTest, TheExampleRoomLoadsAsGltfWithTheEntriesOfTheSceneDescription) {
  TempDir dir;
  const ToolRun run = runWithOptions(dir, "--glb --baked-obj");
  ASSERT_EQ(run.status, 1) << run.output;
  TempDir plain;
  EXPECT_EQ(runWithOptions(plain, "").output, run.output);  // the console is unchanged
  EXPECT_EQ(plain.read("room-rect.obj"), dir.read("room-rect.obj"));
  const int rectangles = consoleNumber(run.output, "Total f: ");

  EXPECT_TRUE(validGltf(dir.path() + "room.glb"));
  tinygltf::Model model;
  tinygltf::TinyGLTF loader;
  std::string error, warning;
  ASSERT_TRUE(loader.LoadBinaryFromFile(&model, &error, &warning, dir.path() + "room.glb"))
      << error;
  EXPECT_EQ(error, "");
  EXPECT_EQ(warning, "");
  EXPECT_EQ(model.asset.version, "2.0");
  ASSERT_EQ(model.materials.size(), 1u);
  EXPECT_EQ(model.materials[0].extensions.count("KHR_materials_unlit"), 1u);
  EXPECT_NE(std::find(model.extensionsUsed.begin(), model.extensionsUsed.end(),
                      "KHR_materials_unlit"),
            model.extensionsUsed.end());
  ASSERT_EQ(model.images.size(), 1u);
  EXPECT_EQ(model.images[0].mimeType, "image/jpeg");
  EXPECT_GT(model.images[0].width, 0);  // the loader decoded it

  // One node per entry, in its order, with its category, materials and
  // coefficients.
  const SceneJson scene = readSceneJson(dir.read("room.JSON"));
  ASSERT_TRUE(scene.parsed) << scene.error;
  ASSERT_EQ(model.nodes.size(), scene.entries.size());
  std::size_t triangles = 0;
  for (std::size_t n = 0; n < model.nodes.size(); ++n) {
    const tinygltf::Node& node = model.nodes[n];
    const JsonEntry& entry = scene.entries[n];
    SCOPED_TRACE(entry.name);
    EXPECT_EQ(node.name, entry.name);
    EXPECT_EQ(node.extras.Get("Category").Get<std::string>(), entry.category);
    std::vector<std::string> materials;
    const tinygltf::Value& list = node.extras.Get("Materials");
    for (std::size_t k = 0; k < list.ArrayLen(); ++k) materials.push_back(list.Get(static_cast<int>(k)).Get<std::string>());
    EXPECT_EQ(materials, entry.materials);
    EXPECT_DOUBLE_EQ(node.extras.Get("absorption").GetNumberAsDouble(), entry.numbers.at("absorption"));
    EXPECT_DOUBLE_EQ(node.extras.Get("scattering").GetNumberAsDouble(), entry.numbers.at("scattering"));
    if (node.mesh >= 0) {
      for (const tinygltf::Primitive& primitive : model.meshes[static_cast<std::size_t>(node.mesh)].primitives) {
        triangles += model.accessors[static_cast<std::size_t>(primitive.indices)].count / 3;
        // Its triangles are its own rectangles: they use each of its vertices.
        const std::size_t vertices =
            model.accessors[static_cast<std::size_t>(primitive.attributes.at("POSITION"))].count;
        const std::set<std::uint32_t> used = distinctIndices(model, primitive.indices);
        EXPECT_EQ(used.size(), vertices);
        EXPECT_EQ(used.empty() ? 0u : *used.rbegin() + 1, vertices);
      }
    }
  }
  EXPECT_EQ(triangles, 2u * static_cast<std::size_t>(rectangles));

  // y up: the room's z range (-1.4 .. 1.3) is glTF's y range, its y range
  // (-2 .. 2.5) glTF's z range turned round.
  const AssimpReport report = assimpInfo(dir.path() + "room.glb");
  EXPECT_EQ(report.status, 0) << report.text;
  EXPECT_EQ(report.faces, 2 * rectangles);
  EXPECT_EQ(report.primitiveTypes, "triangles");
  EXPECT_EQ(report.minimumPoint, "(-2.500000 -1.400000 -2.500000)");
  EXPECT_EQ(report.maximumPoint, "(3.000000 1.300000 2.000000)");

  // The OBJ form: the same quads, its material file and atlas by file name.
  const AssimpReport obj = assimpInfo(dir.path() + "room-baked.obj");
  EXPECT_EQ(obj.status, 0) << obj.text;
  EXPECT_EQ(obj.faces, rectangles);
  EXPECT_NE(dir.read("room-baked.obj.mtl").find("map_Kd room-baked.jpg\n"), std::string::npos);
  const cv::Mat atlas = cv::imread(dir.path() + "room-baked.jpg");
  EXPECT_EQ(atlas.cols, model.images[0].width);
  EXPECT_EQ(atlas.rows, model.images[0].height);
}

// A room without planes gives a scene without nodes; the example room with
// hundreds of copies of one box close to the capture point gives one node
// per scene entry. Both pass the glTF Validator.
TEST(GlbFileTest, AnEmptyRoomAndARoomOfManyDuplicateBoxesGiveValidGltf) {
  TempDir empty;
  copyExampleRoom(empty);
  empty.write("planes.txt", "0 0.05\n");
  ASSERT_EQ(runInFolder(empty, "--glb --baked-obj --preview").status, 1);
  EXPECT_TRUE(validGltf(empty.path() + "room.glb"));
  tinygltf::Model model;
  tinygltf::TinyGLTF loader;
  std::string error, warning;
  ASSERT_TRUE(loader.LoadBinaryFromFile(&model, &error, &warning, empty.path() + "room.glb"))
      << error;
  ASSERT_EQ(model.scenes.size(), 1u);
  EXPECT_TRUE(model.scenes[0].nodes.empty());
  EXPECT_TRUE(model.nodes.empty());
  EXPECT_TRUE(model.bufferViews.empty());

  TempDir many;
  copyExampleRoom(many);
  std::string planes = readWholeFile(std::string(ROOMBOX_EXAMPLES) + "/planes.txt");
  const std::size_t headerEnd = planes.find('\n');
  const int count = std::atoi(planes.c_str());
  std::string copies;
  for (int k = 0; k < 300; ++k) copies += "1 1 0.1 -0.1 0.1 -0.1 0.1 0.1 0 0 1 0 0 -0.1 1 2\n";
  if (planes.back() != '\n') planes += '\n';
  planes = std::to_string(count + 300) + planes.substr(planes.find(' '), headerEnd - planes.find(' ')) +
           planes.substr(headerEnd) + copies;
  many.write("planes.txt", planes);
  const ToolRun run = runInFolder(many, "--glb --preview");
  ASSERT_EQ(run.status, 1) << run.output;
  EXPECT_TRUE(validGltf(many.path() + "room.glb"));
  ASSERT_TRUE(loader.LoadBinaryFromFile(&model, &error, &warning, many.path() + "room.glb"))
      << error;
  const SceneJson scene = readSceneJson(many.read("room.JSON"));
  ASSERT_TRUE(scene.parsed) << scene.error;
  EXPECT_EQ(model.nodes.size(), scene.entries.size());
}

TEST(GlbFileTest, AnUnwritableGlbFailsTheRun) {
  TempDir dir;
  copyExampleRoom(dir);
  const CommandRun run = runCommand(quoted(ROOMBOX_BINARY) + " " + quoted(dir.path()) +
                                    " planes.txt no/such/room 7 --glb");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.output.find("Cannot "), std::string::npos) << run.output;
}

}  // namespace
