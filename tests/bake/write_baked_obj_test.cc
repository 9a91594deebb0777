// The baked OBJ written at a path of the caller's: its material file and
// atlas image go beside it and the files name one another so that they are
// found; a run's files (under a base path) are the same bytes.
#include "bake/baked_obj_files.h"
#include "mesh/mesh_fixtures.h"
#include "roombox/bake_atlas.h"
#include "roombox/scene_model.h"
#include "roombox/write_baked_obj.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <sstream>
#include <string>

namespace roombox {
namespace {

// A room of two walls with a box in front of one, baked from a gray
// panorama.
struct BakedRoom {
  Reconstruction room;
  BakedAtlas atlas;
};

BakedRoom bakedRoom() {
  MeshInput input;
  input.panorama = grayPanorama(64, 32);
  input.planes = {makePlane(7, 3, -1, 1, -1, 1, 13), makePlane(9, 3, -1, 1, -1, 1, 13)};
  input.addCuboid(makeCuboid(1, 2, -0.5f, 0.5f, -1, 0, 6), CuboidFaces{1, 1, 1, 1, 1, 0});
  BakedRoom out;
  out.room.cuboids = input.cuboids;
  out.room.cuboidFaces = input.cuboidFaces;
  out.room.planes.planes = input.planes;
  out.room.rectangles = generate(input);
  out.room.scene = buildSceneModel(input.planes, input.cuboids, out.room.rectangles);
  out.atlas = bakeAtlas(out.room.rectangles.mesh, out.room.rectangles.groups,
                        out.room.cuboids, input.panorama);
  return out;
}

// The rest of the line that starts with `key ` in text; empty when there is
// none.
std::string referenceIn(const std::string& text, const std::string& key) {
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.compare(0, key.size() + 1, key + " ") == 0) return line.substr(key.size() + 1);
  }
  return "";
}

// Whether name is a regular file in folder.
bool fileExists(const std::string& folder, const std::string& name) {
  struct stat info;
  return !name.empty() && stat((folder + name).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

TEST(WriteBakedObj, AtAPathTheMaterialAndImageAreFoundBesideTheObj) {
  const BakedRoom baked = bakedRoom();
  ASSERT_GT(baked.room.rectangles.mesh.faces.size(), 2u);
  TempDir dir;
  const std::string folder = dir.path() + "out/model/";
  ASSERT_EQ(mkdir((dir.path() + "out").c_str(), 0755), 0);
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  // A trailing ".obj" gives way to the image's ".jpg"; another name keeps
  // all of itself.
  const struct {
    const char *obj, *mtl, *image;
  } cases[] = {{"scene.obj", "scene.obj.mtl", "scene.jpg"},
               {"model", "model.mtl", "model.jpg"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.obj);
    writeBakedObj(baked.room, folder + c.obj, baked.atlas);
    const std::string mtllib = referenceIn(dir.read("out/model/" + std::string(c.obj)), "mtllib");
    EXPECT_EQ(mtllib, c.mtl);
    EXPECT_TRUE(fileExists(folder, mtllib));
    const std::string mapKd = referenceIn(dir.read("out/model/" + mtllib), "map_Kd");
    EXPECT_EQ(mapKd, c.image);
    EXPECT_TRUE(fileExists(folder, mapKd));
  }

  // With a base path that ends in '/', a run writes the same bytes.
  TempDir run;
  writeBakedObjFiles(baked.room, bakedObjFilesUnder(run.path(), "room-baked.obj"), baked.atlas);
  writeBakedObj(baked.room, dir.path() + "room-baked.obj", baked.atlas);
  for (const char* name : {"room-baked.obj", "room-baked.obj.mtl", "room-baked.jpg"}) {
    EXPECT_FALSE(run.read(name).empty()) << name;
    EXPECT_EQ(run.read(name), dir.read(name)) << name;
  }
}

}  // namespace
}  // namespace roombox
