// The baked atlas: every texel shows the panorama in its own direction, the
// patches fit the atlas without touching, and texels hidden by furniture are
// filled with the surface behind it (checked against the example room
// rendered without its furniture).
#include "roombox/bake_atlas.h"
#include "roombox/error.h"
#include "roombox/read_panorama.h"
#include "roombox/read_plane_info.h"
#include "roombox/reconstruct_room.h"
#include "support/expect_error.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace roombox {
namespace {

constexpr double kPi = 3.141592653589793;

// A panorama whose pixel colours encode their own direction: blue, green
// and red are x, y and z of the unit direction mapped to 0..255.
cv::Mat directionPanorama(int width, int height) {
  cv::Mat image(height, width, CV_8UC3);
  for (int row = 0; row < height; ++row) {
    const double theta = (row + 0.5) / height * kPi;
    for (int col = 0; col < width; ++col) {
      const double phi = (col + 0.5) / width * 2 * kPi;
      const double d[3] = {std::sin(theta) * std::cos(phi), -std::sin(theta) * std::sin(phi),
                           std::cos(theta)};
      for (int a = 0; a < 3; ++a) {
        image.at<cv::Vec3b>(row, col)[a] = static_cast<unsigned char>(std::lround(127.5 * (1 + d[a])));
      }
    }
  }
  return image;
}

// A mesh of the given rectangles (four corners each, in winding order), one
// group per rectangle, all walls.
RectangleMesh meshOf(const std::vector<std::array<MeshPoint, 4>>& rectangles) {
  RectangleMesh out;
  for (const auto& corners : rectangles) {
    const int base = static_cast<int>(out.mesh.vertices.size());
    const int row = static_cast<int>(out.mesh.faces.size());
    out.mesh.vertices.insert(out.mesh.vertices.end(), corners.begin(), corners.end());
    out.mesh.faces.push_back({base, base + 1, base + 2, base + 3});
    out.groups.push_back(RectangleGroup{13, row + 1, row, row, GroupSource::kPlane, 0});
  }
  return out;
}

// The +x wall straddles the panorama's column 0; the floor surrounds the
// point straight below the camera; the ceiling is far from square.
const std::vector<std::array<MeshPoint, 4>> kRoom = {
    {{{2, -1.5f, -1}, {2, -1.5f, 1}, {2, 1.5f, 1}, {2, 1.5f, -1}}},
    {{{-2, -2, -1}, {2, -2, -1}, {2, 2, -1}, {-2, 2, -1}}},
    {{{-2, -0.5f, 1.5f}, {-2, 0.5f, 1.5f}, {3, 0.5f, 1.5f}, {3, -0.5f, 1.5f}}},
};

TEST(BakeAtlas, EveryTexelShowsThePanoramaInTheDirectionOfItsPoint) {
  const RectangleMesh room = meshOf(kRoom);
  const BakedAtlas atlas = bakeAtlas(room.mesh, room.groups, {}, directionPanorama(512, 256));
  ASSERT_EQ(atlas.patches.size(), kRoom.size());
  for (std::size_t r = 0; r < kRoom.size(); ++r) {
    SCOPED_TRACE(r);
    const auto& c = kRoom[r];
    const AtlasPatch& p = atlas.patches[r];
    int worst = 0;
    for (int j = 0; j < p.height; ++j) {
      for (int i = 0; i < p.width; ++i) {
        const double s = (i + 0.5) / p.width;
        const double t = (j + 0.5) / p.height;
        const double q[3] = {c[0].x + (c[1].x - c[0].x) * s + (c[3].x - c[0].x) * t,
                             c[0].y + (c[1].y - c[0].y) * s + (c[3].y - c[0].y) * t,
                             c[0].z + (c[1].z - c[0].z) * s + (c[3].z - c[0].z) * t};
        const double length = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2]);
        const cv::Vec3b texel = atlas.image.at<cv::Vec3b>(p.y + j, p.x + i);
        for (int a = 0; a < 3; ++a) {
          const int expected = static_cast<int>(std::lround(127.5 * (1 + q[a] / length)));
          worst = std::max(worst, std::abs(texel[a] - expected));
        }
      }
    }
    // Bilinear interpolation of a smooth image: off by a level or two, and
    // nowhere near the far side of the panorama.
    EXPECT_LE(worst, 4);
  }
  EXPECT_EQ(cv::countNonZero(atlas.filled), 0);  // nothing hides anything
}

TEST(BakeAtlas, PatchesAndGuttersFitTheAtlasWithoutOverlapping) {
  const RectangleMesh room = meshOf(kRoom);
  const cv::Mat panorama = directionPanorama(512, 256);
  struct Case {
    const char* name;
    AtlasLimits limits;
  };
  const Case cases[] = {{"panorama budget", AtlasLimits{}},
                        {"small budget", AtlasLimits{6000, 8192}},
                        {"small side", AtlasLimits{0, 96}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const BakedAtlas atlas = bakeAtlas(room.mesh, room.groups, {}, panorama, c.limits, 2);
    const long long budget = c.limits.maxTexels > 0 ? c.limits.maxTexels : 512LL * 256;
    long long texels = 0;
    std::vector<cv::Rect> areas;
    for (const AtlasPatch& p : atlas.patches) {
      const cv::Rect area(p.x - kAtlasGutter, p.y - kAtlasGutter, p.width + 2 * kAtlasGutter,
                          p.height + 2 * kAtlasGutter);
      EXPECT_EQ(area & cv::Rect(0, 0, atlas.image.cols, atlas.image.rows), area);
      for (const cv::Rect& other : areas) EXPECT_TRUE((area & other).empty());
      areas.push_back(area);
      texels += area.area();
      // Gutter texels repeat the nearest edge texel of the patch.
      const cv::Vec3b corner = atlas.image.at<cv::Vec3b>(p.y, p.x);
      EXPECT_EQ(atlas.image.at<cv::Vec3b>(p.y - kAtlasGutter, p.x - kAtlasGutter), corner);
      EXPECT_EQ(atlas.image.at<cv::Vec3b>(p.y + p.height / 2, p.x + p.width + kAtlasGutter - 1),
                atlas.image.at<cv::Vec3b>(p.y + p.height / 2, p.x + p.width - 1));
    }
    EXPECT_LE(texels, budget);
    EXPECT_LE(atlas.image.cols, c.limits.maxSide);
    EXPECT_LE(atlas.image.rows, c.limits.maxSide);
  }
  // The floor, nearest the camera over the largest area, is the finest
  // patch: about one texel per panorama pixel below the camera.
  const BakedAtlas full = bakeAtlas(room.mesh, room.groups, {}, panorama);
  EXPECT_NEAR(4.0 / full.patches[1].width, full.texelSize * 1.0 * kPi / 256, 1e-3);

  EXPECT_THROW(bakeAtlas(room.mesh, room.groups, {}, panorama, AtlasLimits{0, 12}), Error);
  EXPECT_THROW(bakeAtlas(room.mesh, room.groups, {}, cv::Mat(16, 32, CV_8UC1)), Error);
}

// Ground truth from the example room generator: the same room rendered
// without its furniture shows what lies behind it. A filled texel of a wall,
// the floor or the ceiling must be closer to that than to the furniture the
// panorama shows there.
TEST(BakeAtlas, HiddenTexelsAreFilledWithTheSurfaceBehindTheFurniture) {
  TempDir empty;
  const CommandRun made = runCommand(quoted(ROOMBOX_MAKE_EXAMPLE_ROOM) + " " +
                                     quoted(empty.path()) + " --empty");
  ASSERT_EQ(made.status, 0) << made.output;
  const std::string examples = std::string(ROOMBOX_EXAMPLES) + "/";
  const cv::Mat furnished = readPanorama(examples + "shifted_t.png");
  const Reconstruction room =
      reconstructRoom(readPlaneInfo(examples, "planes.txt"), furnished);

  const MeshStore& mesh = room.rectangles.mesh;
  const std::vector<RectangleGroup>& groups = room.rectangles.groups;
  const BakedAtlas baked = bakeAtlas(mesh, groups, room.cuboids, furnished);
  const BakedAtlas seen = bakeAtlas(mesh, groups, {}, furnished);  // as sampled
  const BakedAtlas truth =
      bakeAtlas(mesh, groups, {}, readPanorama(empty.path() + "shifted_t.png"));
  ASSERT_EQ(baked.image.size(), truth.image.size());

  const auto distance = [](const cv::Vec3b& a, const cv::Vec3b& b) {
    int d = 0;
    for (int k = 0; k < 3; ++k) d += std::abs(a[k] - b[k]);
    return d;
  };
  long long compared = 0, closerToTruth = 0, filled = 0;
  for (const RectangleGroup& group : room.rectangles.groups) {
    if (group.source != GroupSource::kPlane) continue;
    for (int r = group.firstRectangle; r <= group.lastRectangle; ++r) {
      const AtlasPatch& p = baked.patches[static_cast<std::size_t>(r)];
      for (int y = p.y; y < p.y + p.height; ++y) {
        for (int x = p.x; x < p.x + p.width; ++x) {
          if (!baked.filled.at<unsigned char>(y, x)) continue;
          ++filled;
          const cv::Vec3b got = baked.image.at<cv::Vec3b>(y, x);
          const cv::Vec3b occluder = seen.image.at<cv::Vec3b>(y, x);
          const cv::Vec3b behind = truth.image.at<cv::Vec3b>(y, x);
          // Where the furniture looks like the wall there is nothing to tell.
          if (distance(occluder, behind) < 60) continue;
          ++compared;
          if (distance(got, behind) < distance(got, occluder)) ++closerToTruth;
        }
      }
    }
  }
  EXPECT_GT(compared, 20000);
  EXPECT_GE(static_cast<double>(closerToTruth), 0.95 * static_cast<double>(compared))
      << closerToTruth << " of " << compared << " (" << filled << " filled)";
}

// The room in other units: lengths a ten-thousandth or ten thousand times as
// large, and large enough that squares of its coordinates overflow a
// float. The atlas is laid out and sampled alike (the texel density, the
// gutters and the occlusion rim scale with the room), and no direction is
// sent to the horizon.
TEST(BakeAtlas, TheSameRoomInAnyUnitBakesTheSameAtlas) {
  cv::Mat panorama(256, 512, CV_8UC3);
  cv::randu(panorama, cv::Scalar::all(0), cv::Scalar::all(256));
  cv::GaussianBlur(panorama, panorama, cv::Size(5, 5), 0);
  const auto scaled = [](float factor) {
    std::vector<std::array<MeshPoint, 4>> rectangles = kRoom;
    for (auto& corners : rectangles) {
      for (MeshPoint& p : corners) p = MeshPoint{p.x * factor, p.y * factor, p.z * factor};
    }
    return rectangles;
  };
  const auto box = [](float f) {
    return std::vector<Cuboid>{{1, 1.2f * f, 1.5f * f, -0.3f * f, 0.4f * f, -1 * f, 0, 0, 0}};
  };
  const RectangleMesh room = meshOf(kRoom);
  const BakedAtlas unit = bakeAtlas(room.mesh, room.groups, box(1), panorama, AtlasLimits{}, 1);
  ASSERT_GT(cv::countNonZero(unit.filled), 0);
  for (const float factor : {1e-4f, 1e4f, 1e30f}) {
    SCOPED_TRACE(factor);
    const RectangleMesh otherRoom = meshOf(scaled(factor));
    const BakedAtlas other =
        bakeAtlas(otherRoom.mesh, otherRoom.groups, box(factor), panorama, AtlasLimits{}, 1);
    ASSERT_EQ(other.image.size(), unit.image.size());
    for (std::size_t r = 0; r < kRoom.size(); ++r) {
      EXPECT_EQ(other.patches[r].width, unit.patches[r].width);
      EXPECT_EQ(other.patches[r].height, unit.patches[r].height);
    }
    // Scaled coordinates round differently in the last bit: a level here
    // and there, a texel on an outline.
    cv::Mat difference;
    cv::absdiff(other.image, unit.image, difference);
    EXPECT_LT(cv::mean(difference)[0], 0.5);
    EXPECT_LT(cv::norm(other.filled, unit.filled, cv::NORM_L1) / 255, 0.01 * unit.filled.total());
  }
}

TEST(BakeAtlas, ACoordinateThatIsNoFiniteNumberIsRefusedNamingItsEntry) {
  std::vector<std::array<MeshPoint, 4>> rectangles = kRoom;
  rectangles[1][2].y = std::numeric_limits<float>::infinity();
  const RectangleMesh broken = meshOf(rectangles);
  EXPECT_ROOMBOX_ERROR(
      bakeAtlas(broken.mesh, broken.groups, {}, directionPanorama(64, 32)),
      "^Cannot bake the texture atlas: Wall_2 has coordinates that are not finite numbers$");
  const std::vector<Cuboid> boxes = {{1, 0.5f, std::numeric_limits<float>::quiet_NaN(), 0, 1, 0, 1,
                                      1, 0}};
  const RectangleMesh room = meshOf(kRoom);
  EXPECT_ROOMBOX_ERROR(bakeAtlas(room.mesh, room.groups, boxes, directionPanorama(64, 32)),
                       "^Cannot bake the texture atlas: box 1 has coordinates that are not "
                       "finite numbers$");
}

}  // namespace
}  // namespace roombox
