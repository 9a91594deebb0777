// Runs the built tool on the bundled example room with every save option and
// opens each output with a real consumer: assimp for the meshes, nlohmann-json
// for the scene description and OpenCV for the texture. The figures the
// consumers report must agree with the tool's console and with each other.
#include "consumer_readers.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kExamplePlanes = std::string(ROOMBOX_EXAMPLES) + "/planes.txt";
const std::string kExamplePanorama = std::string(ROOMBOX_EXAMPLES) + "/shifted_t.png";

// The figures a complete run prints.
struct ConsoleFigures {
  int planes = -1;
  int cuboids = -1;
  int rectangles = -1;
};

ConsoleFigures figuresOf(const std::string& output) {
  return {consoleNumber(output, "Number of initial planes: "),
          consoleNumber(output, "Number of cube generated: "), consoleNumber(output, "Total f: ")};
}

// The planes of the example room's plane info file, read independently of
// the tool: type and position of each record.
struct ExamplePlane {
  int type;
  float position;
};

std::vector<ExamplePlane> examplePlanes() {
  std::istringstream in(readWholeFile(kExamplePlanes));
  int count = 0;
  float resolution = 0;
  in >> count >> resolution;
  std::vector<ExamplePlane> planes;
  for (int i = 0; i < count; ++i) {
    float numbers[16];
    for (float& n : numbers) in >> n;
    planes.push_back({static_cast<int>(numbers[1]), numbers[2]});
  }
  return planes;
}

// The box lines of a cuboid text file (line 2 on), nine numbers each.
std::vector<std::vector<double>> cuboidLines(const std::string& text) {
  std::istringstream lines(text);
  std::string line;
  std::getline(lines, line);  // count and resolution
  std::vector<std::vector<double>> boxes;
  while (std::getline(lines, line)) {
    std::istringstream numbers(line);
    std::vector<double> box;
    for (double n; numbers >> n;) box.push_back(n);
    boxes.push_back(box);
  }
  return boxes;
}

const char* const kInputs[] = {"planes.txt", "shifted_t.png"};

TEST(ExampleRoomTest, EverySaveOptionCompletesAndWritesExactlyItsFiles) {
  const cv::Mat panorama = cv::imread(kExamplePanorama, cv::IMREAD_UNCHANGED);
  ASSERT_FALSE(panorama.empty());
  for (const SaveOptionFiles& c : exampleSaveOptions()) {
    TempDir dir;
    const ToolRun run = runExampleRoom(dir, c.option);
    EXPECT_EQ(run.status, 1) << "option " << c.option << "\n" << run.output;
    EXPECT_EQ(lastLine(run.output), "Done!!!") << "option " << c.option;
    EXPECT_EQ(run.errors, "") << "option " << c.option;
    const ConsoleFigures figures = figuresOf(run.output);
    EXPECT_EQ(figures.planes, 50);
    EXPECT_EQ(figures.cuboids, 44);
    EXPECT_EQ(figures.rectangles, 144);

    std::set<std::string> expected(std::begin(kInputs), std::end(kInputs));
    expected.insert({"room-texture.png", "room_cuboid.txt", "room.JSON"});
    expected.insert(c.meshFiles.begin(), c.meshFiles.end());
    EXPECT_EQ(filesIn(dir.path()), expected) << "option " << c.option;

    // The texture is the panorama: same size, channels and pixels.
    const cv::Mat texture = cv::imread(dir.path() + "room-texture.png", cv::IMREAD_UNCHANGED);
    ASSERT_FALSE(texture.empty()) << "option " << c.option;
    EXPECT_EQ(texture.size(), panorama.size());
    EXPECT_EQ(texture.type(), panorama.type());
    if (texture.size() == panorama.size() && texture.type() == panorama.type()) {
      EXPECT_EQ(cv::norm(texture, panorama, cv::NORM_INF), 0.0) << "option " << c.option;
    }

    // The cuboid text holds the room and one line per cuboid.
    const std::string cuboidText = readWholeFile(dir.path() + "room_cuboid.txt");
    EXPECT_EQ(std::atoi(cuboidText.c_str()), figures.cuboids + 1);
    EXPECT_EQ(cuboidLines(cuboidText).size(), static_cast<std::size_t>(figures.cuboids + 1));
  }
}

// Every face of the rectangle mesh is a quad: a raw import keeps one polygon
// per face, and assimp counts one vertex per face corner.
void expectQuadMesh(const AssimpReport& report, int rectangles) {
  EXPECT_EQ(report.status, 0) << report.text;
  EXPECT_EQ(report.faces, rectangles);
  EXPECT_EQ(report.vertices, 4 * rectangles);
  EXPECT_EQ(report.primitiveTypes, "n-polygons");
  int faces = 0;
  for (const AssimpMesh& mesh : report.meshes) {
    EXPECT_EQ(mesh.vertices, 4 * mesh.faces) << mesh.name;
    EXPECT_EQ(mesh.primitive, "polygon") << mesh.name;
    faces += mesh.faces;
  }
  EXPECT_EQ(faces, rectangles);
}

// "(-2.500000 -2.000000 -1.400000)" from the console's room boundary line.
std::string roomCorner(const std::string& output, const std::string& label) {
  const std::string::size_type at = output.find(label);
  if (at == std::string::npos) return "";
  float x = 0, y = 0, z = 0;
  std::sscanf(output.c_str() + at + label.size(), "%f %f %f", &x, &y, &z);
  char text[128];
  std::snprintf(text, sizeof(text), "(%f %f %f)", x, y, z);
  return text;
}

TEST(ExampleRoomTest, ObjectObjOpensInAssimpWithOneGroupPerSceneEntry) {
  TempDir dir;
  const ToolRun run = runExampleRoom(dir, "0");
  ASSERT_EQ(run.status, 1) << run.output;
  const ConsoleFigures figures = figuresOf(run.output);
  const AssimpReport report = assimpInfo(dir.path() + "room-rect-Object.obj");
  expectQuadMesh(report, figures.rectangles);
  EXPECT_EQ(report.minimumPoint, roomCorner(run.output, "Room boundary min: "));
  EXPECT_EQ(report.maximumPoint, roomCorner(run.output, "max: "));

  // One group (node) per wall, floor, ceiling and cuboid, named as the
  // scene description names them; the groups with faces become meshes.
  const SceneJson scene = readSceneJson(readWholeFile(dir.path() + "room.JSON"));
  ASSERT_TRUE(scene.parsed) << scene.error;
  std::set<std::string> entryNames;
  for (const JsonEntry& entry : scene.entries) entryNames.insert(entry.name);
  const std::set<std::string> nodeNames(report.nodes.begin(), report.nodes.end());
  EXPECT_EQ(report.nodes.size(), scene.entries.size());
  EXPECT_EQ(nodeNames, entryNames);
  for (const AssimpMesh& mesh : report.meshes) {
    EXPECT_EQ(entryNames.count(mesh.name), 1u) << mesh.name;
  }
}

TEST(ExampleRoomTest, ColourObjOpensInAssimpAsOneGroupOfQuads) {
  TempDir dir;
  const ToolRun run = runExampleRoom(dir, "1");
  ASSERT_EQ(run.status, 1) << run.output;
  const AssimpReport report = assimpInfo(dir.path() + "room-rect-Object-colour.obj");
  expectQuadMesh(report, figuresOf(run.output).rectangles);
  ASSERT_EQ(report.meshes.size(), 1u);
  EXPECT_EQ(report.meshes[0].name, "default");
}

TEST(ExampleRoomTest, TexturedObjFindsItsMaterialFileAndTexture) {
  TempDir dir;
  const ToolRun run = runExampleRoom(dir, "2");
  ASSERT_EQ(run.status, 1) << run.output;
  const AssimpReport report = assimpInfo(dir.path() + "room-rect.obj");
  expectQuadMesh(report, figuresOf(run.output).rectangles);
  ASSERT_EQ(report.meshes.size(), 1u);
  EXPECT_EQ(report.meshes[0].name, "Mesh");

  // The material comes from the material file, and its texture map names the
  // texture written next to the mesh.
  EXPECT_EQ(report.materials, 2) << report.text;  // assimp's default and lambert2SG
  EXPECT_NE(std::find(report.materialNames.begin(), report.materialNames.end(), "lambert2SG"),
            report.materialNames.end())
      << report.text;
  ASSERT_EQ(report.textureRefs, std::vector<std::string>{"room-texture.png"}) << report.text;
  const cv::Mat texture = cv::imread(dir.path() + report.textureRefs[0], cv::IMREAD_COLOR);
  EXPECT_EQ(texture.size(), cv::Size(2048, 1024));

  // Without the material file assimp still knows lambert2SG from the usemtl
  // line, but no texture: the texture map above came from the material file.
  std::filesystem::remove(dir.path() + "room-rect.obj.mtl");
  const AssimpReport withoutMaterials = assimpInfo(dir.path() + "room-rect.obj");
  EXPECT_EQ(withoutMaterials.faces, report.faces);
  EXPECT_TRUE(withoutMaterials.textureRefs.empty()) << withoutMaterials.text;
}

TEST(ExampleRoomTest, ColouredOffOpensInAssimpWithTheCountsOfItsHeader) {
  TempDir dir;
  const ToolRun run = runExampleRoom(dir, "3");
  ASSERT_EQ(run.status, 1) << run.output;
  const int rectangles = figuresOf(run.output).rectangles;
  const std::string off = readWholeFile(dir.path() + "room-rect-Object.off");
  int vertexCount = -1, faceCount = -1;
  const std::string::size_type header = off.find("COFF\n");
  ASSERT_NE(header, std::string::npos);
  ASSERT_EQ(std::sscanf(off.c_str() + header + 5, "%d %d", &vertexCount, &faceCount), 2);
  EXPECT_EQ(faceCount, rectangles);

  // OFF keeps its vertex list as it is, so assimp reports the header's count.
  const AssimpReport report = assimpInfo(dir.path() + "room-rect-Object.off");
  EXPECT_EQ(report.status, 0) << report.text;
  EXPECT_EQ(report.vertices, vertexCount);
  // assimp's OFF reader takes the comment line that opens the face list for a
  // face without corners and drops it, which leaves the last face unread; a
  // copy without comment lines is what it reads in full.
  EXPECT_GE(report.faces, rectangles - 1);
  EXPECT_LE(report.faces, rectangles);
  std::istringstream lines(off);
  std::string withoutComments;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("#", 0) != 0) withoutComments += line + "\n";
  }
  TempDir copy;
  copy.write("room.off", withoutComments);
  const AssimpReport full = assimpInfo(copy.path() + "room.off");
  EXPECT_EQ(full.status, 0) << full.text;
  EXPECT_EQ(full.vertices, vertexCount);
  EXPECT_EQ(full.faces, rectangles);
  EXPECT_EQ(full.primitiveTypes, "n-polygons");
}

TEST(ExampleRoomTest, SceneDescriptionListsEveryCuboidThenEveryRoomSurface) {
  TempDir dir;
  const ToolRun run = runExampleRoom(dir, "7");
  ASSERT_EQ(run.status, 1) << run.output;
  const int cuboids = figuresOf(run.output).cuboids;
  const SceneJson scene = readSceneJson(readWholeFile(dir.path() + "room.JSON"));
  ASSERT_TRUE(scene.parsed) << scene.error;
  EXPECT_TRUE(scene.shapeValid);

  std::vector<ExamplePlane> surfaces;
  for (const ExamplePlane& plane : examplePlanes()) {
    if (plane.type >= 7 && plane.type <= 9) surfaces.push_back(plane);
  }
  ASSERT_EQ(surfaces.size(), 6u);  // four walls, the floor and the ceiling
  ASSERT_EQ(scene.entries.size(), static_cast<std::size_t>(cuboids) + surfaces.size());

  const std::vector<std::string> numberKeys = {"Centre_x", "Centre_y", "Centre_z", "Length_x",
                                               "Length_y", "Length_z", "absorption", "scattering"};
  std::set<std::string> names;
  for (const JsonEntry& entry : scene.entries) {
    names.insert(entry.name);
    EXPECT_EQ(entry.name.substr(0, entry.name.rfind('_')), entry.category) << entry.name;
    // Category, every Material, then the numbers in their fixed order.
    std::vector<std::string> expectedKeys = {"Category"};
    expectedKeys.insert(expectedKeys.end(), entry.materials.size(), "Material");
    expectedKeys.insert(expectedKeys.end(), numberKeys.begin(), numberKeys.end());
    EXPECT_EQ(entry.keys, expectedKeys) << entry.name;
    EXPECT_EQ(entry.numbers.at("absorption"), 0.05) << entry.name;
    EXPECT_EQ(entry.numbers.at("scattering"), 0.02) << entry.name;
  }
  EXPECT_EQ(names.size(), scene.entries.size()) << "entry names repeat";

  // The cuboid entries come first, in the order of the cuboid text, with the
  // centre and extent of each box.
  const std::vector<std::vector<double>> boxes =
      cuboidLines(readWholeFile(dir.path() + "room_cuboid.txt"));
  ASSERT_EQ(boxes.size(), static_cast<std::size_t>(cuboids) + 1);
  for (int n = 0; n < cuboids; ++n) {
    const JsonEntry& entry = scene.entries[n];
    const std::vector<double>& box = boxes[n + 1];
    ASSERT_EQ(box.size(), 9u);
    const char* axes[] = {"x", "y", "z"};
    for (int a = 0; a < 3; ++a) {
      const double low = box[1 + 2 * a], high = box[2 + 2 * a];
      EXPECT_NEAR(entry.numbers.at(std::string("Centre_") + axes[a]), (low + high) / 2, 1e-5)
          << entry.name;
      EXPECT_NEAR(entry.numbers.at(std::string("Length_") + axes[a]), high - low, 1e-5)
          << entry.name;
    }
    EXPECT_NE(entry.category, "") << entry.name;
  }

  // Then the walls, floor and ceiling in plane order (the planes at x, then
  // those at y, then the floor at z = -1.4 and the ceiling at 1.3); every
  // wall lists Painted and Brick last, the floor and the ceiling Painted.
  const char* const surfaceNames[] = {"Wall_1", "Wall_2",  "Wall_3",
                                      "Wall_4", "Floor_1", "Ceiling_1"};
  for (std::size_t s = 0; s < surfaces.size(); ++s) {
    const JsonEntry& entry = scene.entries[cuboids + s];
    EXPECT_EQ(entry.name, surfaceNames[s]);
    ASSERT_FALSE(entry.materials.empty()) << entry.name;
    if (s >= 4) {
      EXPECT_EQ(entry.materials.back(), "Painted") << entry.name;
    } else {
      ASSERT_GE(entry.materials.size(), 2u) << entry.name;
      EXPECT_EQ(entry.materials[entry.materials.size() - 2], "Painted") << entry.name;
      EXPECT_EQ(entry.materials.back(), "Brick") << entry.name;
    }
  }
}

}  // namespace
