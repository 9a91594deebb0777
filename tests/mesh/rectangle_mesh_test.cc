#include "mesh/rectangle_mesh.h"
#include "mesh_fixtures.h"

#include <gtest/gtest.h>

namespace roombox {
namespace {

const CuboidFaces kAll{1, 1, 1, 1, 1, 1};
const CuboidFaces kNone{0, 0, 0, 0, 0, 0};

cv::Vec3f vertexAt(const MeshStore& mesh, int index) {
  const MeshPoint& p = mesh.vertices[index];
  return cv::Vec3f(p.x, p.y, p.z);
}

// Right-hand normal of rectangle row.
cv::Vec3f faceNormal(const MeshStore& mesh, int row) {
  const cv::Vec4i f = faceRow(mesh, row);
  return (vertexAt(mesh, f[1]) - vertexAt(mesh, f[0]))
      .cross(vertexAt(mesh, f[2]) - vertexAt(mesh, f[1]));
}

TEST(EmitRectangles, PlanesFaceTheOriginAndCuboidFacesPointOutward) {
  const cv::Mat panorama = grayPanorama(8, 4);
  const struct {
    float type, position;
    cv::Vec3f towardOrigin;
  } cases[] = {{7, 5, {-1, 0, 0}}, {7, -5, {1, 0, 0}}, {9, 5, {0, -1, 0}},
               {9, -5, {0, 1, 0}}, {8, 5, {0, 0, -1}}, {8, 0, {0, 0, 1}}};
  for (const auto& c : cases) {
    MeshStore mesh;
    emitPlaneRectangle(makePlane(c.type, c.position, 1, 2, 3, 4, 13), panorama, 0, mesh);
    ASSERT_EQ(mesh.faces.size(), 1u);
    EXPECT_EQ(faceRow(mesh, 0), cv::Vec4i(0, 1, 2, 3));
    EXPECT_EQ(faceNormal(mesh, 0), c.towardOrigin) << c.type << " at " << c.position;
    const cv::Vec3f first = vertexAt(mesh, 0);  // (p, uMin, vMin) on the plane's axes
    EXPECT_EQ(first[0] + first[1] + first[2], c.position + 4);
  }
  MeshStore mesh;
  emitCuboidRectangles(makeCuboid(1, 2, 3, 5, -1, 4, 9), kAll, panorama, 0, mesh);
  ASSERT_EQ(mesh.faces.size(), 6u);
  const cv::Vec3f centre(1.5f, 4, 1.5f);
  for (int r = 0; r < 6; ++r) {
    const cv::Vec4i f = faceRow(mesh, r);
    const cv::Vec3f faceCentre = (vertexAt(mesh, f[0]) + vertexAt(mesh, f[1]) +
                                  vertexAt(mesh, f[2]) + vertexAt(mesh, f[3])) *
                                 0.25f;
    EXPECT_GT(faceNormal(mesh, r).dot(faceCentre - centre), 0.0f) << "face " << r;
  }
  EXPECT_EQ(faceRow(mesh, 0), cv::Vec4i(0, 1, 2, 3));  // minY first, minZ last
  EXPECT_EQ(faceRow(mesh, 5), cv::Vec4i(5, 1, 0, 4));
}

TEST(GenerateRectangleMesh, GroupsNumberInstancesAcrossPlanesAndCuboids) {
  MeshInput input;
  input.planes = {makePlane(7, 3, -1, 1, -1, 1, 13, 6),
                  makePlane(1, 0.5f, -1, 1, -1, 1, 7),  // object plane: not emitted
                  makePlane(7, -3, -1, 1, -1, 1, 13),
                  makePlane(9, 2, -1, 1, -1, 1, 13),
                  makePlane(8, 0, -1, 1, -1, 1, 5),
                  makePlane(8, 2.5f, -1, 1, -1, 1, 3)};
  input.addCuboid(makeCuboid(0, 1, 0, 1, 0, 1, 13, 2050), kAll);
  input.addCuboid(makeCuboid(0, 1, 0, 1, 0, 1, 1), kNone);
  input.addCuboid(makeCuboid(0, 1, 0, 1, 0, 1, 4, 0, 2), kAll);  // kind 2: not emitted
  input.addCuboid(makeCuboid(0, 1, 0, 1, 0, 1, 1), CuboidFaces{0, 0, 0, 0, 0, 1});
  const RectangleMesh result = generate(input);

  const int expected[8][4] = {{13, 1, 0, 0}, {13, 2, 1, 1},  {13, 3, 2, 2},  {5, 1, 3, 3},
                              {3, 1, 4, 4},  {13, 4, 5, 10}, {1, 1, 11, 10}, {1, 2, 11, 11}};
  // Room planes first in plane order, then boxes; a skipped element leaves
  // no group but later ones keep their own index.
  const GroupSource P = GroupSource::kPlane, C = GroupSource::kCuboid;
  const GroupSource sources[8] = {P, P, P, P, P, C, C, C};
  const int sourceIndices[8] = {0, 2, 3, 4, 5, 0, 1, 3};
  ASSERT_EQ(result.groups.size(), 8u);
  ASSERT_EQ(result.groupLabels.size(), 8u);
  for (int g = 0; g < 8; ++g) {
    const RectangleGroup& group = result.groups[g];
    EXPECT_EQ(cv::Vec4i(group.category, group.instance, group.firstRectangle, group.lastRectangle),
              cv::Vec4i(expected[g])) << g;
    EXPECT_EQ(result.groupLabels[g].category, expected[g][0]) << g;
    EXPECT_EQ(group.source, sources[g]) << g;
    EXPECT_EQ(group.sourceIndex, sourceIndices[g]) << g;
  }
  const int* wallMaterials = result.groupLabels[0].materials;
  const int* cubeMaterials = result.groupLabels[5].materials;
  EXPECT_EQ(cv::Vec4i(wallMaterials[1], wallMaterials[2], wallMaterials[3], 0), cv::Vec4i(1, 1, 0, 0));
  EXPECT_EQ(cv::Vec4i(cubeMaterials[1], cubeMaterials[2], cubeMaterials[11], 0), cv::Vec4i(1, 0, 1, 0));

  // The hidden cuboid still adds its 8 vertices; the last shows its top face.
  const MeshStore& mesh = result.mesh;
  EXPECT_EQ(mesh.faces.size(), 12u);
  EXPECT_EQ(faceRow(mesh, 11), cv::Vec4i(36 + 7, 36 + 3, 36 + 2, 36 + 6));
  for (const std::size_t size : {mesh.vertices.size(), mesh.colours.size(), mesh.texCoords.size(),
                                 mesh.vertexAlpha.size()}) {
    EXPECT_EQ(size, 5u * 4 + 3 * 8);
  }

}

TEST(GenerateRectangleMesh, TextureCoordinatesColourAndViewBand) {
  for (const int views : {0, 1}) {
    MeshInput input;
    input.viewCount = views;
    // Every corner on the pole: row 0, column 2.
    input.addCuboid(makeCuboid(0, 0, 0, 0, 1, 1, 13), kNone);
    const MeshStore mesh = generate(input).mesh;
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
    MeshInput input;
    input.panorama = grayPanorama(c.width, 4);
    input.panorama.col(c.paintedCol).setTo(c.colour);
    input.addCuboid(makeCuboid(1, 1, c.y, c.y, 0, 0, 13), kNone);
    EXPECT_EQ(generate(input).mesh.vertexAlpha[0], c.alpha) << c.name;
  }
}

TEST(GenerateRectangleMesh, ManyPlanesEachGetTheirOwnFaceAndInstance) {
  MeshInput input;
  for (int i = 0; i < 250; ++i) input.planes.push_back(makePlane(7, 2, 0, 1, i, i + 1.0f, 13));
  const RectangleMesh result = generate(input);
  ASSERT_EQ(result.groups.size(), 250u);
  ASSERT_EQ(result.groupLabels.size(), 250u);
  EXPECT_EQ(result.groups[249].instance, 250);
  EXPECT_EQ(result.groupLabels[249].category, 13);
  ASSERT_EQ(result.mesh.faces.size(), 250u);
  for (int r = 0; r < 250; ++r) {
    EXPECT_EQ(faceRow(result.mesh, r), cv::Vec4i(4 * r, 4 * r + 1, 4 * r + 2, 4 * r + 3)) << r;
  }
}

}  // namespace
}  // namespace roombox
