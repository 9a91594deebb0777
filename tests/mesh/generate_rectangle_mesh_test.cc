#include "mesh/emit_cuboid_rectangles.h"
#include "mesh/emit_plane_rectangle.h"
#include "mesh/generate_rectangle_mesh.h"
#include "mesh_fixtures.h"

#include <gtest/gtest.h>

namespace {

const CuboidFaces kAll{1, 1, 1, 1, 1, 1};
const CuboidFaces kNone{0, 0, 0, 0, 0, 0};

cv::Vec3f vertexAt(int index) {
  const MeshPoint& p = sceneStore.mesh.vertices[index];
  return cv::Vec3f(p.x, p.y, p.z);
}

// Right-hand normal of rectangle row.
cv::Vec3f faceNormal(int row) {
  const cv::Vec4i f = faceRow(row);
  return (vertexAt(f[1]) - vertexAt(f[0])).cross(vertexAt(f[2]) - vertexAt(f[1]));
}

TEST(EmitRectangles, PlanesFaceTheOriginAndCuboidFacesPointOutward) {
  const struct {
    float type, position;
    cv::Vec3f towardOrigin;
  } cases[] = {{7, 5, {-1, 0, 0}}, {7, -5, {1, 0, 0}}, {9, 5, {0, -1, 0}},
               {9, -5, {0, 1, 0}}, {8, 5, {0, 0, -1}}, {8, 0, {0, 0, 1}}};
  for (const auto& c : cases) {
    resetWithPanorama(8, 4);
    addPlane(c.type, c.position, 1, 2, 3, 4, 13);
    emitPlaneRectangle(0);
    ASSERT_EQ(sceneStore.mesh.rectangleCount, 1);
    EXPECT_EQ(faceRow(0), cv::Vec4i(0, 1, 2, 3));
    EXPECT_EQ(faceNormal(0), c.towardOrigin) << c.type << " at " << c.position;
    const cv::Vec3f first = vertexAt(0);  // (p, uMin, vMin) on the plane's axes
    EXPECT_EQ(first[0] + first[1] + first[2], c.position + 4);
  }
  resetWithPanorama(8, 4);
  addCuboid(1, 2, 3, 5, -1, 4, 9, kAll);
  emitCuboidRectangles(0);
  ASSERT_EQ(sceneStore.mesh.rectangleCount, 6);
  const cv::Vec3f centre(1.5f, 4, 1.5f);
  for (int r = 0; r < 6; ++r) {
    const cv::Vec4i f = faceRow(r);
    const cv::Vec3f faceCentre =
        (vertexAt(f[0]) + vertexAt(f[1]) + vertexAt(f[2]) + vertexAt(f[3])) * 0.25f;
    EXPECT_GT(faceNormal(r).dot(faceCentre - centre), 0.0f) << "face " << r;
  }
  EXPECT_EQ(faceRow(0), cv::Vec4i(0, 1, 2, 3));  // minY first, minZ last
  EXPECT_EQ(faceRow(5), cv::Vec4i(5, 1, 0, 4));
}

TEST(GenerateRectangleMesh, GroupsNumberInstancesAcrossPlanesAndCuboids) {
  resetWithPanorama(8, 4);
  addPlane(7, 3, -1, 1, -1, 1, 13, 6);
  addPlane(1, 0.5f, -1, 1, -1, 1, 7);  // object plane: not emitted
  addPlane(7, -3, -1, 1, -1, 1, 13);
  addPlane(9, 2, -1, 1, -1, 1, 13);
  addPlane(8, 0, -1, 1, -1, 1, 5);
  addPlane(8, 2.5f, -1, 1, -1, 1, 3);
  addCuboid(0, 1, 0, 1, 0, 1, 13, kAll, 2050);
  addCuboid(0, 1, 0, 1, 0, 1, 1, kNone);
  addCuboid(0, 1, 0, 1, 0, 1, 4, kAll, 0, 2);  // kind 2: not emitted
  addCuboid(0, 1, 0, 1, 0, 1, 1, CuboidFaces{0, 0, 0, 0, 0, 1});
  generateRectangleMesh();

  const int expected[8][4] = {{13, 1, 0, 0}, {13, 2, 1, 1},  {13, 3, 2, 2},  {5, 1, 3, 3},
                              {3, 1, 4, 4},  {13, 4, 5, 10}, {1, 1, 11, 10}, {1, 2, 11, 11}};
  ASSERT_EQ(sceneStore.groupCount, 8);
  for (int g = 0; g < 8; ++g) {
    const RectangleGroup& group = sceneStore.groups[g];
    EXPECT_EQ(cv::Vec4i(group.category, group.instance, group.firstRectangle, group.lastRectangle),
              cv::Vec4i(expected[g])) << g;
    EXPECT_EQ(sceneStore.groupLabels[g].category, expected[g][0]) << g;
  }
  const int* wallMaterials = sceneStore.groupLabels[0].materials;
  const int* cubeMaterials = sceneStore.groupLabels[5].materials;
  EXPECT_EQ(cv::Vec4i(wallMaterials[1], wallMaterials[2], wallMaterials[3], 0), cv::Vec4i(1, 1, 0, 0));
  EXPECT_EQ(cv::Vec4i(cubeMaterials[1], cubeMaterials[2], cubeMaterials[11], 0), cv::Vec4i(1, 0, 1, 0));
  EXPECT_EQ(sceneStore.groupLabels[8].category, 0);  // beyond groupCount: still zero

  // The hidden cuboid still adds its 8 vertices; the last shows its top face.
  const MeshStore& mesh = sceneStore.mesh;
  EXPECT_EQ(mesh.vertexCount, 5 * 4 + 3 * 8);
  EXPECT_EQ(mesh.rectangleCount, 12);
  EXPECT_EQ(faceRow(11), cv::Vec4i(36 + 7, 36 + 3, 36 + 2, 36 + 6));
  for (const std::size_t size : {mesh.vertices.size(), mesh.colours.size(), mesh.texCoords.size(),
                                 mesh.vertexAlpha.size()}) {
    EXPECT_EQ(size, 44u);
  }
}

TEST(GenerateRectangleMesh, TextureCoordinatesColourAndViewBand) {
  for (const int views : {0, 1}) {
    resetWithPanorama(8, 4);
    sceneStore.viewCount = views;
    addCuboid(0, 0, 0, 0, 1, 1, 13, kNone);  // every corner on the pole: row 0, column 2
    generateRectangleMesh();
    const MeshStore& mesh = sceneStore.mesh;
    EXPECT_EQ(mesh.texCoords[0].u, 0.25f);
    EXPECT_EQ(mesh.texCoords[0].v, views == 0 ? 0.75f : 0.875f);
    EXPECT_EQ(cv::Vec3f(mesh.colours[7].r, mesh.colours[7].g, mesh.colours[7].b),
              cv::Vec3f(128, 255, 255));
  }
}

TEST(GenerateRectangleMesh, BlackPixelTestReadsTheBlueByteRightOfThePixel) {
  const struct {
    const char* name;
    int width;
    float y;  // the vertex is (1, y, 0): column 0 for y = 0, the last column for y = 1
    int paintedCol;
    cv::Scalar colour;
    int alpha;
  } cases[] = {
      {"right neighbour black", 8, 0, 1, {0, 0, 0}, 0},
      {"only the blue byte counts", 8, 0, 1, {0, 200, 200}, 0},
      {"green and red zero", 8, 0, 1, {9, 0, 0}, 255},
      {"mapped pixel itself black", 8, 0, 0, {0, 0, 0}, 255},
      {"last column wraps to column 0", 8, 1, 0, {0, 0, 0}, 0},
      {"last column ignores its left", 8, 1, 6, {0, 0, 0}, 255},
      {"one pixel wide tests column 0", 1, 0, 0, {0, 0, 0}, 0},
  };
  for (const auto& c : cases) {
    resetWithPanorama(c.width, 4);
    sceneStore.panorama.col(c.paintedCol).setTo(c.colour);
    addCuboid(1, 1, c.y, c.y, 0, 0, 13, kNone);
    generateRectangleMesh();
    EXPECT_EQ(sceneStore.mesh.vertexAlpha[0], c.alpha) << c.name;
  }
}

TEST(GenerateRectangleMesh, StoresGrowPastTheirInitialSize) {
  resetWithPanorama(8, 4);
  sceneStore.groups.assign(200, RectangleGroup{});
  sceneStore.groupLabels.assign(200, GroupLabel{});
  sceneStore.mesh.faces.create(3, 8, CV_32SC1);
  for (int i = 0; i < 250; ++i) addPlane(7, 2, 0, 1, i, i + 1.0f, 13);
  generateRectangleMesh();
  ASSERT_EQ(sceneStore.groupCount, 250);
  ASSERT_GE(sceneStore.groupLabels.size(), 250u);
  EXPECT_EQ(sceneStore.groups[249].instance, 250);
  EXPECT_EQ(sceneStore.groupLabels[249].category, 13);
  ASSERT_EQ(sceneStore.mesh.rectangleCount, 250);
  for (int r = 0; r < 250; ++r) EXPECT_EQ(faceRow(r)[3], 4 * r + 3) << r;
}

}  // namespace
