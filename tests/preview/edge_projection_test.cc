// Projection of 3D edges into the equirectangular preview: pieces follow the
// curve, and an edge that crosses column 0 is split there, never drawn
// across the image.
#include "mesh/rectangle_mesh.h"
#include "preview/edge_projection.h"
#include "preview/preview_style.h"

#include <gtest/gtest.h>

#include <cmath>

namespace roombox {
namespace {

const cv::Size kImage(1024, 512);

// Distance from p to the nearest step of the polylines.
double distanceToPieces(const cv::Point2f& p, const Polylines& pieces) {
  double best = HUGE_VAL;
  for (const std::vector<cv::Point2f>& piece : pieces) {
    for (std::size_t i = 1; i < piece.size(); ++i) {
      const cv::Point2d a = piece[i - 1];
      const cv::Point2d b = piece[i];
      const cv::Point2d step = b - a;
      const double length2 = step.dot(step);
      double t = length2 > 0 ? (cv::Point2d(p) - a).dot(step) / length2 : 0.0;
      t = std::min(std::max(t, 0.0), 1.0);
      const cv::Point2d nearest = a + step * t;
      best = std::min(best, std::hypot(p.x - nearest.x, p.y - nearest.y));
    }
  }
  return best;
}

void expectPoint(const cv::Point2f& actual, float x, float y) {
  EXPECT_NEAR(actual.x, x, 1e-4f);
  EXPECT_NEAR(actual.y, y, 1e-4f);
}

// The longest horizontal step inside any piece.
float widestStep(const Polylines& pieces) {
  float widest = 0.0f;
  for (const std::vector<cv::Point2f>& piece : pieces) {
    for (std::size_t i = 1; i < piece.size(); ++i) {
      widest = std::max(widest, std::fabs(piece[i].x - piece[i - 1].x));
    }
  }
  return widest;
}

// The preview projects with the atlas's convention (pixel centres at
// azimuth (col + 0.5) 2 pi / width), half a pixel from the mesh mapping,
// which rounds to pixels centred at col 2 pi / width.
TEST(ProjectPoint, LiesHalfAPixelFromTheMeshMappingsPixel) {
  for (const cv::Point3d p :
       {cv::Point3d(2, -1, 0.5), cv::Point3d(-3, 2, 1), cv::Point3d(0.5, 2, -0.2)}) {
    const PanoramaPixel pixel = mapToPanorama(static_cast<float>(p.x), static_cast<float>(p.y),
                                              static_cast<float>(p.z), kImage.width, kImage.height);
    const cv::Point2f at = projectPoint(p, kImage);
    EXPECT_NEAR(at.x + 0.5, pixel.col, 0.5 + 1e-3) << p;
    EXPECT_NEAR(at.y + 0.5, pixel.row, 0.5 + 1e-3) << p;
  }
  // On the horizon, +x at the left border, -y a quarter along, -x half way;
  // 45 degrees below it, three quarters of the height down; +z at the top.
  expectPoint(projectPoint(cv::Point3d(2, 0, 0), kImage), -0.5f, 255.5f);
  expectPoint(projectPoint(cv::Point3d(0, -3, 0), kImage), 255.5f, 255.5f);
  expectPoint(projectPoint(cv::Point3d(-1, 0, -1), kImage), 511.5f, 383.5f);
  EXPECT_NEAR(projectPoint(cv::Point3d(0, 0, 2), kImage).y, -0.5f, 1e-4f);
}

TEST(ProjectSegment, AnEdgeAcrossColumnZeroIsSplitThereAndReachesBothBorders) {
  // In front of the camera along +x, from +y (right end of the image) to -y
  // (left end).
  const Polylines pieces =
      projectSegment(cv::Point3d(2, 1, -0.5), cv::Point3d(2, -1, -0.5), kImage);
  ASSERT_EQ(pieces.size(), 2u);
  // No step runs across the image.
  EXPECT_LT(widestStep(pieces), 50.0f);
  // The first piece runs out to the right border (the seam, at azimuth 0,
  // lies at x = width - 0.5, that is -0.5), the second comes in from the
  // left border.
  EXPECT_GT(pieces[0].front().x, kImage.width * 0.75f);
  EXPECT_GE(pieces[0].back().x, kImage.width - 0.5f);
  EXPECT_LE(pieces[1].front().x, -0.5f);
  EXPECT_LT(pieces[1].back().x, kImage.width * 0.25f);
  // Each border point lies on the curve continued across the border.
  EXPECT_NEAR(pieces[0].back().y, pieces[1].front().y, 1.0f);
}

TEST(ProjectSegment, PiecesFollowTheCurveOfTheStraightEdge) {
  const struct {
    cv::Point3d a, b;
  } edges[] = {
      {{3.0, -2.0, 1.3}, {-2.5, -2.0, 1.3}},  // ceiling edge, a long arc
      {{0.2, 0.2, 1.2}, {0.6, 0.2, 1.2}},     // close to the zenith
  };
  for (const auto& edge : edges) {
    const Polylines pieces = projectSegment(edge.a, edge.b, kImage);
    ASSERT_FALSE(pieces.empty());
    EXPECT_EQ(pieces.size(), 1u) << edge.a << edge.b;
    EXPECT_NEAR(pieces.front().front().x, projectPoint(edge.a, kImage).x, 1e-3);
    EXPECT_NEAR(pieces.back().back().y, projectPoint(edge.b, kImage).y, 1e-3);
    for (int k = 0; k <= 200; ++k) {
      const cv::Point3d p = edge.a + (edge.b - edge.a) * (k / 200.0);
      EXPECT_LT(distanceToPieces(projectPoint(p, kImage), pieces), 0.75)
          << "point " << k << " of " << edge.a << edge.b;
    }
  }
}

TEST(ProjectSegment, AnEdgeThroughAPoleIsBrokenNotDrawnAcross) {
  // Straight below the camera the azimuth turns by half a turn at once.
  const Polylines pieces = projectSegment(cv::Point3d(-1, 0, -1), cv::Point3d(1, 0, -1), kImage);
  EXPECT_GE(pieces.size(), 2u);
  EXPECT_LT(widestStep(pieces), 50.0f);
  EXPECT_TRUE(projectSegment(cv::Point3d(1, 0, 0), cv::Point3d(0, 1, 0), cv::Size(0, 5)).empty());
}

TEST(DashPolyline, DashesAndGapsAlternateAlongTheWholeLine) {
  // 0..20 along x, then down to y = 20: 40 pixels with a corner at 20.
  const std::vector<cv::Point2f> line{{0, 0}, {20, 0}, {20, 20}};
  const Polylines dashes = dashPolyline(line, 6.0f, 4.0f);
  // Dashes start every 10 pixels: at 0, 10, 20, 30.
  ASSERT_EQ(dashes.size(), 4u);
  expectPoint(dashes[0].front(), 0, 0);
  expectPoint(dashes[0].back(), 6, 0);
  expectPoint(dashes[1].front(), 10, 0);
  expectPoint(dashes[1].back(), 16, 0);
  expectPoint(dashes[2].front(), 20, 0);
  expectPoint(dashes[2].back(), 20, 6);
  expectPoint(dashes[3].front(), 20, 10);
  expectPoint(dashes[3].back(), 20, 16);
  // Without a usable pattern the line stays whole.
  EXPECT_EQ(dashPolyline(line, 0.0f, 4.0f), Polylines{line});
  EXPECT_EQ(dashPolyline(line, 6.0f, -1.0f), Polylines{line});
}

}  // namespace
}  // namespace roombox
