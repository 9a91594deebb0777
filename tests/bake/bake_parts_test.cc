// The pieces the baker runs for every texel: the panorama samples of a row
// of points, the box test of a texel's segment, the occluder candidates
// around a direction, and the packing of the patches into the atlas.
#include "bake/atlas_layout.h"
#include "bake/occlusion.h"
#include "bake/sample_bilinear.h"
#include "roombox/bake_atlas.h"
#include "roombox/error.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace roombox {
namespace {

constexpr double kPi = 3.141592653589793;

TEST(SampleBilinear, MatchesPlainInterpolationWrappingColumnsAndHoldingRows) {
  cv::Mat panorama(7, 11, CV_8UC3);
  cv::randu(panorama, cv::Scalar::all(0), cv::Scalar::all(256));
  const auto pixel = [&panorama](int row, int col) {
    row = std::clamp(row, 0, panorama.rows - 1);
    col = ((col % panorama.cols) + panorama.cols) % panorama.cols;
    return panorama.at<cv::Vec3b>(row, col);
  };
  std::mt19937 random(7);
  std::uniform_real_distribution<float> column(-1.0f, 11.0f);
  std::uniform_real_distribution<float> row(-1.0f, 7.0f);
  std::vector<float> px, py;
  for (int k = 0; k < 300; ++k) {
    px.push_back(column(random));
    py.push_back(row(random));
  }
  // Pixel centres, the seam and the poles exactly.
  for (const float x : {0.0f, 10.0f, -0.5f, 10.5f, 10.999f}) {
    for (const float y : {0.0f, -0.5f, 6.0f, 6.5f}) {
      px.push_back(x);
      py.push_back(y);
    }
  }
  const int count = static_cast<int>(px.size());
  std::vector<unsigned char> got(3 * px.size());
  sampleBilinear(panorama, px.data(), py.data(), count, got.data());
  for (int k = 0; k < count; ++k) {
    const int left = static_cast<int>(std::floor(px[k]));
    const int top = static_cast<int>(std::floor(py[k]));
    const double fx = px[k] - left;
    const double fy = py[k] - top;
    for (int ch = 0; ch < 3; ++ch) {
      const double expected = (1 - fx) * (1 - fy) * pixel(top, left)[ch] +
                              fx * (1 - fy) * pixel(top, left + 1)[ch] +
                              (1 - fx) * fy * pixel(top + 1, left)[ch] +
                              fx * fy * pixel(top + 1, left + 1)[ch];
      // Rounding, and weights held to 1/2048.
      EXPECT_LE(std::fabs(got[3 * k + ch] - expected), 0.6)
          << "at " << px[k] << ", " << py[k] << " channel " << ch;
    }
  }
  // A pixel centre shows the pixel itself.
  const float x = 3, y = 2;
  unsigned char centre[3];
  sampleBilinear(panorama, &x, &y, 1, centre);
  for (int ch = 0; ch < 3; ++ch) EXPECT_EQ(centre[ch], panorama.at<cv::Vec3b>(2, 3)[ch]);
}

TEST(SegmentEntersBox, TellsPointsBehindABoxFromPointsBeforeOrOnIt) {
  // A box in front of the origin along +x.
  const Cuboid box{1, 2, 3, -0.5f, 0.5f, -0.5f, 0.5f, 0, 0};
  const auto enters = [&box](double x, double y, double z, double margin = 0) {
    const double p[3] = {x, y, z};
    return segmentEntersBox(box, margin, originSegment(p));
  };
  EXPECT_TRUE(enters(5, 0, 0));        // behind it, along an axis
  EXPECT_TRUE(enters(5, 0.5, -0.5));   // behind it, towards an edge
  EXPECT_TRUE(enters(2.5, 0, 0));      // inside it
  EXPECT_FALSE(enters(1.5, 0, 0));     // before it
  EXPECT_FALSE(enters(2, 0.2f, 0.1));  // on the face towards the origin
  EXPECT_FALSE(enters(5, 3, 0));       // beside it
  EXPECT_FALSE(enters(-5, 0, 0));      // the other way
  EXPECT_FALSE(enters(0, 0, 5));       // straight up: two zero components
  // A margin grows the box on every side.
  EXPECT_FALSE(enters(5, 1.3, 0));
  EXPECT_TRUE(enters(5, 1.3, 0, 0.1));
  // Nothing hides what lies around an origin inside the (grown) box.
  const Cuboid around{1, -1, 1, -1, 1, -1, 1, 0, 0};
  const double far[3] = {5, 0.3, 0.2};
  EXPECT_FALSE(segmentEntersBox(around, 0, originSegment(far)));
  EXPECT_FALSE(segmentEntersBox(box, 2.5, originSegment(far)));
}

#if defined(__SSE2__)
TEST(SegmentEntersBox, FourAtOnceAgreesWithOneAtATime) {
  std::mt19937 random(11);
  std::uniform_real_distribution<float> coordinate(-3.0f, 3.0f);
  std::uniform_real_distribution<float> extent(0.05f, 1.5f);
  std::uniform_real_distribution<float> small(-0.05f, 0.05f);
  int hidden = 0, compared = 0, disagreements = 0;
  for (int trial = 0; trial < 20000; ++trial) {
    Cuboid box{1, 0, 0, 0, 0, 0, 0, 0, 0};
    box.minX = coordinate(random);
    box.maxX = box.minX + extent(random);
    box.minY = coordinate(random);
    box.maxY = box.minY + extent(random);
    box.minZ = coordinate(random);
    box.maxZ = box.minZ + extent(random);
    const float start[3] = {coordinate(random), coordinate(random), coordinate(random)};
    const float step[3] = {small(random), small(random), small(random)};
    const float marginAngle = trial % 2 ? 0.0f : 0.002f;
    const int k = trial % 7;
    const int lanes = segmentsEnterBox(box, marginAngle, start, step, k);
    if (lanes < 0) continue;
    for (int lane = 0; lane < 4; ++lane) {
      double p[3];
      for (int a = 0; a < 3; ++a) p[a] = start[a] + step[a] * static_cast<float>(k + lane);
      const OriginSegment s = originSegment(p);
      const bool expected = segmentEntersBox(box, marginAngle * s.length, s);
      ++compared;
      hidden += expected;
      disagreements += expected != ((lanes >> lane) & 1);
    }
  }
  EXPECT_GT(hidden, 400);
  EXPECT_GT(compared - hidden, 1000);
  // Only points within a rounding error of a box's outline may differ.
  EXPECT_LE(disagreements, 2) << "of " << compared;
  // A point with a zero coordinate is left to the one-at-a-time test.
  const float onAxis[3] = {0, 0, 2};
  const float along[3] = {0, 0, 0.1f};
  EXPECT_EQ(segmentsEnterBox(Cuboid{1, -1, 1, -1, 1, 1, 1.5f, 0, 0}, 0, onAxis, along, 0), -1);
}
#endif

TEST(OccluderCandidates, NameTheOneBoxAroundAPixelOrTellThatThereAreSeveral) {
  cv::Mat ids(6, 10, CV_32SC1, cv::Scalar(-1));
  ids.at<int>(2, 4) = 3;
  ids.at<int>(2, 5) = 3;
  ids.at<int>(2, 7) = 8;
  ids.at<int>(0, 0) = 5;  // next to the last column and clamped at the top
  const cv::Mat candidates = occluderCandidates(ids);
  ASSERT_EQ(candidates.size(), ids.size());
  ASSERT_EQ(candidates.type(), CV_32SC1);
  const auto at = [&candidates](int row, int col) { return candidates.at<int>(row, col); };
  EXPECT_EQ(at(2, 4), 3);
  EXPECT_EQ(at(3, 3), 3);   // diagonal neighbour
  EXPECT_EQ(at(1, 6), kSeveralOccluders);  // between 3 and 8
  EXPECT_EQ(at(2, 8), 8);
  EXPECT_EQ(at(4, 4), -1);  // two rows away
  EXPECT_EQ(at(5, 8), -1);
  EXPECT_EQ(at(0, 9), 5);   // across the seam
  EXPECT_EQ(at(1, 9), 5);
  EXPECT_EQ(at(2, 0), -1);
}

// A mesh of axis-aligned rectangles of the given sizes (in x and z) at
// distance 1 along y, so that every patch gets about size / texel texels.
MeshStore rectanglesOf(const std::vector<std::pair<float, float>>& sizes) {
  MeshStore mesh;
  for (const auto& [w, h] : sizes) {
    const int base = static_cast<int>(mesh.vertices.size());
    for (const MeshPoint& corner : {MeshPoint{0, 1, 0}, MeshPoint{w, 1, 0}, MeshPoint{w, 1, h},
                                    MeshPoint{0, 1, h}}) {
      mesh.vertices.push_back(corner);
    }
    mesh.faces.push_back({base, base + 1, base + 2, base + 3});
  }
  return mesh;
}

// Checks that the patches with their gutters lie inside the atlas without
// overlapping; returns the texels they hold.
long long checkPacking(const AtlasLayout& layout) {
  cv::Mat used(layout.height, layout.width, CV_8UC1, cv::Scalar(0));
  long long texels = 0;
  for (const AtlasPatch& p : layout.patches) {
    const cv::Rect area(p.x - kAtlasGutter, p.y - kAtlasGutter, p.width + 2 * kAtlasGutter,
                        p.height + 2 * kAtlasGutter);
    EXPECT_EQ(area & cv::Rect(0, 0, layout.width, layout.height), area);
    EXPECT_EQ(cv::countNonZero(used(area & cv::Rect(0, 0, layout.width, layout.height))), 0);
    used(area & cv::Rect(0, 0, layout.width, layout.height)).setTo(cv::Scalar(1));
    texels += area.area();
  }
  return texels;
}

TEST(PlanAtlasLayout, PacksARoomsFewLargeAndManySmallPatchesTightly) {
  // A floor and a ceiling of different sizes, walls and furniture faces.
  std::vector<std::pair<float, float>> sizes = {{2.8f, 3.4f}, {3.2f, 2.6f}, {1.1f, 2.2f},
                                                {0.7f, 1.2f}, {0.9f, 1.2f}, {1.8f, 0.9f}};
  std::mt19937 random(3);
  std::uniform_real_distribution<float> side(0.02f, 0.9f);
  for (int k = 0; k < 140; ++k) sizes.emplace_back(side(random), side(random));
  const MeshStore mesh = rectanglesOf(sizes);
  const AtlasLayout layout = planAtlasLayout(mesh, 1e-3, AtlasLimits{0, 8192});
  ASSERT_EQ(layout.patches.size(), sizes.size());
  EXPECT_NEAR(layout.patches[0].width, 2800, 2);  // one texel per millimetre
  const long long texels = checkPacking(layout);
  // Little of the atlas left empty: it costs memory and time for nothing.
  EXPECT_LE(static_cast<double>(layout.width) * layout.height, 1.1 * static_cast<double>(texels));
}

TEST(PlanAtlasLayout, PacksMoreRectanglesThanTheSkylineTakesInShelves) {
  std::vector<std::pair<float, float>> sizes;
  std::mt19937 random(5);
  std::uniform_real_distribution<float> side(0.005f, 0.05f);
  for (int k = 0; k < 5000; ++k) sizes.emplace_back(side(random), side(random));
  const MeshStore mesh = rectanglesOf(sizes);
  const AtlasLayout layout = planAtlasLayout(mesh, 1e-3, AtlasLimits{0, 8192});
  ASSERT_EQ(layout.patches.size(), sizes.size());
  checkPacking(layout);
}

// A panorama of noise, so that any texel sampled from the wrong place or
// written twice shows.
TEST(BakeAtlas, GivesTheSameAtlasOnAnyNumberOfThreads) {
  cv::Mat panorama(256, 512, CV_8UC3);
  cv::randu(panorama, cv::Scalar::all(0), cv::Scalar::all(256));
  RectangleMesh room;
  room.mesh = rectanglesOf({{2, 1.5f}, {0.5f, 0.5f}, {3, 0.2f}});
  for (int r = 0; r < 3; ++r) {
    room.groups.push_back(RectangleGroup{13, r + 1, r, r, GroupSource::kPlane, 0});
  }
  // A box between the origin and the rectangles.
  const std::vector<Cuboid> boxes = {{1, 0.3f, 0.8f, 0.4f, 0.6f, 0.2f, 0.9f, 0, 0}};
  const BakedAtlas one = bakeAtlas(room.mesh, room.groups, boxes, panorama, AtlasLimits{}, 1);
  EXPECT_GT(cv::countNonZero(one.filled), 0);
  for (const int threads : {2, 3, 8}) {
    SCOPED_TRACE(threads);
    const BakedAtlas many = bakeAtlas(room.mesh, room.groups, boxes, panorama, AtlasLimits{}, threads);
    ASSERT_EQ(many.image.size(), one.image.size());
    EXPECT_EQ(cv::norm(many.image, one.image, cv::NORM_INF), 0);
    EXPECT_EQ(cv::norm(many.filled, one.filled, cv::NORM_INF), 0);
  }
}

// The box met first along a pixel's ray, found by testing every box: what
// the occluder map must hold whatever its tiles and windows.
int firstBoxMet(const std::vector<Cuboid>& boxes, int row, int col, int width, int height) {
  const double theta = (row + 0.5) / height * kPi;
  const double phi = (col + 0.5) / width * 2 * kPi;
  const double d[3] = {std::sin(theta) * std::cos(phi), -std::sin(theta) * std::sin(phi),
                       std::cos(theta)};
  double best = 1e300;
  int id = -1;
  for (std::size_t b = 0; b < boxes.size(); ++b) {
    const Cuboid& box = boxes[b];
    if (box.minX <= 0 && box.maxX >= 0 && box.minY <= 0 && box.maxY >= 0 && box.minZ <= 0 &&
        box.maxZ >= 0) {
      continue;
    }
    const double lo[3] = {box.minX, box.minY, box.minZ};
    const double hi[3] = {box.maxX, box.maxY, box.maxZ};
    double enter = 0, leave = 1e300;
    bool miss = false;
    for (int a = 0; a < 3 && !miss; ++a) {
      if (d[a] == 0) {
        miss = lo[a] > 0 || hi[a] < 0;
        continue;
      }
      const double t0 = std::min(lo[a] / d[a], hi[a] / d[a]);
      const double t1 = std::max(lo[a] / d[a], hi[a] / d[a]);
      enter = std::max(enter, t0);
      leave = std::min(leave, t1);
    }
    if (!miss && enter <= leave && enter < best) {
      best = enter;
      id = static_cast<int>(b);
    }
  }
  return id;
}

TEST(BuildOccluderMap, HoldsTheFirstBoxMetTestingEachDuplicateOnce) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> centre(-3.0f, 3.0f);
  std::uniform_real_distribution<float> size(0.05f, 1.5f);
  std::vector<Cuboid> boxes;
  for (int b = 0; b < 60; ++b) {
    const float x = centre(random), y = centre(random), z = centre(random);
    const float sx = size(random), sy = size(random), sz = size(random);
    boxes.push_back(Cuboid{1, x, x + sx, y, y + sy, z, z + sz, 1, 0});
  }
  boxes.push_back(Cuboid{1, 0.5f, 0.6f, -0.05f, 0.05f, -0.05f, 0.05f, 1, 0});  // across column 0
  boxes.push_back(boxes[3]);  // duplicates: the first copy stands for them
  boxes.push_back(boxes[60]);
  boxes.push_back(Cuboid{1, -1, 1, -1, 1, -1, 1, 1, 0});  // holds the origin: hides nothing
  boxes.push_back(Cuboid{2, 0.2f, 0.3f, -1, 1, -1, 1, 1, 0});  // not a generated box
  const std::vector<int> first = occludingBoxes(boxes);
  EXPECT_EQ(first[61], 3);
  EXPECT_EQ(first[62], 60);
  EXPECT_EQ(first[63], -1);
  EXPECT_EQ(first[64], -1);
  std::vector<Cuboid> counted = boxes;
  counted[63].kind = 0;
  counted.pop_back();
  // Sizes that are no multiple of the map's tiles.
  for (const cv::Size size : {cv::Size(200, 100), cv::Size(37, 19)}) {
    SCOPED_TRACE(size);
    const cv::Mat map = buildOccluderMap(boxes, size.width, size.height, 2);
    int mismatches = 0;
    for (int row = 0; row < size.height; ++row) {
      for (int col = 0; col < size.width; ++col) {
        int expected = firstBoxMet(counted, row, col, size.width, size.height);
        if (expected >= 0) expected = first[static_cast<std::size_t>(expected)];
        mismatches += map.at<int>(row, col) != expected;
      }
    }
    EXPECT_EQ(mismatches, 0);
  }
}

}  // namespace
}  // namespace roombox
