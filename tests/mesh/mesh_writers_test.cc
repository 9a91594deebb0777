#include "mesh/textured_obj_files.h"
#include "mesh_fixtures.h"
#include "roombox/write_colour_obj.h"
#include "roombox/write_cuboid_text.h"
#include "roombox/write_object_obj.h"
#include "roombox/write_object_off.h"
#include "roombox/write_textured_obj.h"
#include "support/expect_error.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace roombox {
namespace {

// Where a run with base path dir and output prefix `prefix` writes its files.
struct OutputPaths {
  std::string base;
  std::string prefix;

  // Writes the textured OBJ and its material file as a run does, naming the
  // texture prefix + "-texture.png".
  void texturedObj(const Reconstruction& room) const {
    writeTexturedObjFiles(room, texturedObjFilesUnder(base, prefix + "-rect.obj",
                                                      prefix + "-texture.png"));
  }
  std::string objectObj() const { return base + prefix + "-rect-Object.obj"; }
  std::string colourObj() const { return base + prefix + "-rect-Object-colour.obj"; }
  std::string objectOff() const { return base + prefix + "-rect-Object.off"; }
  std::string cuboidText() const { return base + prefix + "_cuboid.txt"; }
};

OutputPaths outputsIn(const TempDir& dir, const std::string& prefix = "room") {
  return OutputPaths{dir.path(), prefix};
}

// Counts the v, vt and f records of an OBJ text and checks that every face
// index (vertex or texture) names an existing vertex.
struct ObjSummary {
  int vertices = 0, texCoords = 0, faces = 0;
  bool indicesValid = true;
};

ObjSummary parseObj(const std::string& text) {
  ObjSummary summary;
  std::string faceIndices;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    const std::string tag = line.substr(0, line.find(' '));
    summary.vertices += tag == "v";
    summary.texCoords += tag == "vt";
    if (tag != "f") continue;
    faceIndices += line.substr(1) + " ";
    ++summary.faces;
  }
  for (char& c : faceIndices) c = c == '/' ? ' ' : c;
  std::istringstream indices(faceIndices);
  for (int index; indices >> index;) {
    summary.indicesValid = summary.indicesValid && index >= 1 && index <= summary.vertices;
  }
  return summary;
}

// A reconstruction holding only the rectangle mesh `rectangles`.
Reconstruction roomOf(const RectangleMesh& rectangles) {
  Reconstruction room;
  room.rectangles = rectangles;
  return room;
}

// Two walls, a bed with three faces, a bed with none, a wall cuboid with its
// top face and a last cuboid with no face.
Reconstruction buildScene() {
  MeshInput input;
  input.planes = {makePlane(7, 3, -1, 1, -1, 1, 13), makePlane(9, 3, -1, 1, -1, 1, 13)};
  input.addCuboid(makeCuboid(0, 1, 0, 1, 0, 1, 1), CuboidFaces{1, 0, 1, 0, 1, 0});
  input.addCuboid(makeCuboid(0, 1, 0, 1, 0, 1, 1), CuboidFaces{0, 0, 0, 0, 0, 0});
  input.addCuboid(makeCuboid(0, 1, 0, 1, 0, 1, 13), CuboidFaces{0, 0, 0, 0, 0, 1});
  input.addCuboid(makeCuboid(0, 1, 0, 1, 0, 1, 6), CuboidFaces{0, 0, 0, 0, 0, 0});
  Reconstruction room = roomOf(generate(input));
  room.planes.planes = input.planes;
  room.cuboids = input.cuboids;
  room.scene = buildSceneModel(room.planes.planes, room.cuboids, room.rectangles);
  return room;
}

TEST(MeshWriters, EmptyMeshFilesAreHeadersAndFooters) {
  TempDir dir;
  const Reconstruction empty;
  const OutputPaths out = outputsIn(dir);
  out.texturedObj(empty);
  writeObjectObj(empty, out.objectObj());
  writeColourObj(empty, out.colourObj());
  writeObjectOff(empty, out.objectOff());
  EXPECT_EQ(dir.read("room-rect.obj"),
            "###################\n#\n# obj file created by roombox\n#\n"
            "# number of vertexes: 0, number of rectangles: 0\n#\n###################\n#\n"
            "#vertex with (x,y,z) coordinates, texture with (u,v) coordinates\n\n"
            "mtllib room-rect.obj.mtl\ng default\nvt 0.001000 0.001000\n"
            "\n\n#face with vertex indexes\n\ns off\ng Mesh\nusemtl lambert2SG\n\n\n#end of obj file");
  EXPECT_EQ(dir.read("room-rect.obj.mtl"),
            "newmtl lambert2SG\nKd 0.00 0.00 0.00\nKa 0.00 0.00 0.00\nTf 1.00 1.00 1.00\n"
            "map_Kd room-texture.png\nNi 1.00\n");
  EXPECT_EQ(dir.read("room-rect-Object.obj"),
            "# number of vertexes: 0, number of rectangles: 0\n#\n"
            "###################\n#\n#vertex with (x,y,z) coordinates\n\n\n\n#end of obj file");
  EXPECT_EQ(dir.read("room-rect-Object-colour.obj"),
            "###################\n#\n# obj file created by roombox\n#\n"
            "# number of vertexes: 0, number of rectangles: 0\n#\n###################\n#\n"
            "#vertex with (x,y,z,r,g,b) coordinates\n\ng default\n\n\n#end of obj file");
  EXPECT_EQ(dir.read("room-rect-Object.off"),
            "###################\n#\n# off file created by roombox\n#\n###################\n#\n"
            "#(x,y,z,r,g,b,a) coordinates\n\nCOFF\n0 0 0\n"
            "\n\n#face with vertex indexes \n\n\n\n#end of off file");
}

TEST(MeshWriters, MeshFilesAgreeWithTheMesh) {
  TempDir dir;
  const Reconstruction scene = buildScene();
  const OutputPaths out = outputsIn(dir);
  out.texturedObj(scene);
  writeObjectObj(scene, out.objectObj());
  writeColourObj(scene, out.colourObj());
  const std::string textured = dir.read("room-rect.obj");
  EXPECT_NE(textured.find("vertexes: 40, number of rectangles: 6\n"), std::string::npos);
  EXPECT_NE(textured.find("g default\nv 3.000000 -1.000000 -1.000000\n"), std::string::npos);
  EXPECT_NE(textured.find("usemtl lambert2SG\nf 1/1 2/2 3/3 4/4\n"), std::string::npos);
  const std::string object = dir.read("room-rect-Object.obj");
  EXPECT_EQ(object.substr(object.find("\n\ng ")),
            "\n\ng Wall_1\nf 1 2 3 4\n\ng Wall_2\nf 5 6 7 8\n"
            "\ng Bed_1\nf 9 10 11 12\nf 13 9 12 16\nf 14 10 9 13\n\ng Bed_2\n"
            "\ng Wall_3\nf 32 28 27 31\n\n\n#end of obj file");
  const std::string colour = dir.read("room-rect-Object-colour.obj");
  EXPECT_NE(colour.find("\nv 3.000000 -1.000000 -1.000000 0.501961 1.000000 1.000000\n"),
            std::string::npos);
  for (const std::string* text : {&textured, &object, &colour}) {
    const ObjSummary summary = parseObj(*text);
    EXPECT_EQ(summary.vertices, 40);
    EXPECT_EQ(summary.faces, 6);
    EXPECT_TRUE(summary.indicesValid);
    EXPECT_EQ(summary.texCoords, text == &textured ? 41 : 0);
  }
}

TEST(MeshWriters, OffCarriesPaletteColourAndAlpha) {
  TempDir dir;
  MeshInput input;
  // Wall corners with y < 0 map to column 0, those with y > 0 to column 7,
  // whose right neighbour is column 0.
  input.panorama.col(1).setTo(cv::Scalar(0, 0, 0));
  input.planes.push_back(makePlane(7, 3, -1, 1, -1, 1, 13));
  writeObjectOff(roomOf(generate(input)), outputsIn(dir).objectOff());
  EXPECT_NE(dir.read("room-rect-Object.off")
                .find("COFF\n4 1 0\n3.000000 -1.000000 -1.000000 128 255 255 0\n"
                      "3.000000 -1.000000 1.000000 128 255 255 0\n"
                      "3.000000 1.000000 1.000000 128 255 255 255\n"
                      "3.000000 1.000000 -1.000000 128 255 255 255\n"
                      "\n\n#face with vertex indexes \n\n4 0 1 2 3\n\n\n#end of off file"),
            std::string::npos);
}

TEST(MeshWriters, PrefixWithFolderNamesFilesByTheirOwnName) {
  const struct {
    const char *prefix, *mtllib, *mapKd;
  } cases[] = {{"sub/room", "mtllib room-rect.obj.mtl\n", "map_Kd room-texture.png\n"},
               {"sub/", "mtllib -rect.obj.mtl\n", "map_Kd -texture.png\n"}};
  for (const auto& c : cases) {
    TempDir dir;
    mkdir((dir.path() + "sub").c_str(), 0755);
    outputsIn(dir, c.prefix).texturedObj(Reconstruction{});
    EXPECT_NE(dir.read(c.prefix + std::string("-rect.obj")).find(c.mtllib), std::string::npos);
    EXPECT_NE(dir.read(c.prefix + std::string("-rect.obj.mtl")).find(c.mapKd), std::string::npos);
  }
  // A base path without its '/' is glued to the file names, but the files
  // still name one another by the output prefix, as runs always have.
  TempDir dir;
  const OutputPaths glued{dir.path() + "x", "room"};
  glued.texturedObj(Reconstruction{});
  EXPECT_NE(dir.read("xroom-rect.obj").find("mtllib room-rect.obj.mtl\n"), std::string::npos);
  EXPECT_NE(dir.read("xroom-rect.obj.mtl").find("map_Kd room-texture.png\n"), std::string::npos);
}

// The word after `key ` on the line that starts with it in text; empty when
// there is no such line.
std::string referenceIn(const std::string& text, const std::string& key) {
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.compare(0, key.size() + 1, key + " ") == 0) return line.substr(key.size() + 1);
  }
  return "";
}

TEST(MeshWriters, TexturedObjAtAPathNamesItsMaterialFileBesideIt) {
  TempDir dir;
  const Reconstruction scene = buildScene();
  ASSERT_EQ(mkdir((dir.path() + "out").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((dir.path() + "out/model").c_str(), 0755), 0);
  writeTexturedObj(scene, dir.path() + "out/model/scene.obj", "textures/scene.png");
  const std::string mtllib = referenceIn(dir.read("out/model/scene.obj"), "mtllib");
  EXPECT_EQ(mtllib, "scene.obj.mtl");
  EXPECT_EQ(referenceIn(dir.read("out/model/" + mtllib), "map_Kd"), "scene.png");

  // Without a texture name, the file name of the texture a run writes
  // beside an OBJ of that name (textureNameForMesh).
  writeTexturedObj(scene, dir.path() + "out/model/scene.v2.obj");
  EXPECT_EQ(referenceIn(dir.read("out/model/scene.v2.obj.mtl"), "map_Kd"), "scene.v2-texture.png");

  // With a base path that ends in '/', the run's form writes the same bytes.
  TempDir other;
  writeTexturedObj(scene, other.path() + "room-rect.obj", "room-texture.png");
  outputsIn(dir).texturedObj(scene);
  for (const char* name : {"room-rect.obj", "room-rect.obj.mtl"}) {
    EXPECT_EQ(other.read(name), dir.read(name)) << name;
    EXPECT_FALSE(dir.read(name).empty()) << name;
  }
}

TEST(MeshWriters, CuboidTextListsRoomThenCuboids) {
  TempDir dir;
  const std::string path = outputsIn(dir).cuboidText();
  Reconstruction box;
  box.room = RoomBox{{-2, -3, -1.5f}, {2, 3, 1.25f}};
  box.planes.cubeResolution = 0.05f;
  writeCuboidText(box, path);
  const std::string room =
      "2.000000 -2.000000 2.000000 -3.000000 3.000000 -1.500000 1.250000 5.000000 0.000000\n";
  EXPECT_EQ(dir.read("room_cuboid.txt"), "1 0.050000\n" + room);
  box.cuboids.push_back(makeCuboid(0.5f, 1, -1, 0, -1.5f, 0.25f, 9, 6));
  writeCuboidText(box, path);
  EXPECT_EQ(dir.read("room_cuboid.txt"),
            "2 0.050000\n" + room +
                "1.000000 0.500000 1.000000 -1.000000 0.000000 -1.500000 0.250000 9.000000 "
                "6.000000 \n");
}

TEST(MeshWriters, FailuresThrowTheConsoleMessage) {
  TempDir dir;
  const std::string base = dir.path();
  const Reconstruction scene = buildScene();
  const OutputPaths out = outputsIn(dir);
  // Files that are /dev/full accept the open but not the data.
  const struct {
    const char* name;
    std::function<void()> write;
  } writers[] = {
      {"room-rect.obj", [&] { out.texturedObj(scene); }},
      {"room-rect-Object.obj", [&] { writeObjectObj(scene, out.objectObj()); }},
      {"room-rect-Object-colour.obj", [&] { writeColourObj(scene, out.colourObj()); }},
      {"room-rect-Object.off", [&] { writeObjectOff(scene, out.objectOff()); }},
      {"room_cuboid.txt", [&] { writeCuboidText(Reconstruction{}, out.cuboidText()); }}};
  for (const auto& w : writers) {
    ASSERT_EQ(symlink("/dev/full", (base + w.name).c_str()), 0);
    EXPECT_ROOMBOX_ERROR(w.write(), ("Cannot write " + base + w.name + "$").c_str());
  }
  // A folder in the way of the material file: the mesh file is complete.
  const OutputPaths other = outputsIn(dir, "other");
  ASSERT_EQ(mkdir((base + "other-rect.obj.mtl").c_str(), 0755), 0);
  EXPECT_ROOMBOX_ERROR(other.texturedObj(scene),
                       ("Cannot make " + base + "other-rect.obj.mtl$").c_str());
  EXPECT_EQ(parseObj(dir.read("other-rect.obj")).faces, 6);
  const OutputPaths missing{base + "missing/", "other"};
  EXPECT_ROOMBOX_ERROR(writeObjectOff(scene, missing.objectOff()),
                       ("Cannot open " + base + "missing/other-rect-Object.off$").c_str());
}

}  // namespace
}  // namespace roombox
