// The preview image of a generated room: what a person reads off it.
#include "preview/chart_axes.h"
#include "preview/decay_chart.h"
#include "preview/edge_projection.h"
#include "preview/labels.h"
#include "preview/plan.h"
#include "preview/preview_fixtures.h"
#include "preview/preview_items.h"
#include "preview/preview_style.h"
#include "preview/reverberation_chart.h"
#include "preview/render_preview.h"
#include "roombox/write_preview.h"
#include "support/expect_error.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <opencv2/imgcodecs.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace roombox {
namespace {

// Category colours as the preview draws them (blue, green, red).
const cv::Vec3b kBedColour(0, 0, 128);
const cv::Vec3b kTableColour(128, 255, 255);
const cv::Vec3b kGrey(128, 128, 128);
const cv::Size kPanorama(2048, 1024);  // drawn as it is, without scaling

int colourDistance(const cv::Vec3b& a, const cv::Vec3b& b) {
  return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
}

// True when a pixel within one pixel of p has about the colour.
bool colourNear(const cv::Mat& image, const cv::Point2f& p, const cv::Vec3b& colour) {
  const int x = static_cast<int>(std::lround(p.x));
  const int y = static_cast<int>(std::lround(p.y));
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      const cv::Point at(x + dx, y + dy);
      if (at.x < 0 || at.y < 0 || at.x >= image.cols || at.y >= image.rows) continue;
      if (colourDistance(image.at<cv::Vec3b>(at), colour) <= 12) return true;
    }
  }
  return false;
}

// The hand-made room with a bed in front of the camera, across column 0,
// and a table to the front right.
Reconstruction furnishedRoom() {
  Reconstruction room = handMadeRoom();
  addBox(room, kBed, 1, 1.5f, 2.5f, -0.5f, 0.5f, -1.5f, -1.0f);
  addBox(room, kTable, 1, 1.0f, 2.5f, 0.5f, 2.0f, -1.5f, -0.7f);
  return room;
}

// Its preview over a plain grey panorama.
const cv::Mat& furnishedPreview() {
  static const cv::Mat preview =
      renderPreview(furnishedRoom(), cv::Mat(kPanorama, CV_8UC3, cv::Scalar(128, 128, 128)));
  return preview;
}

TEST(PreviewLayout, ThePanoramaIsScaledTo1024To2048PixelsWide) {
  // Below the panorama a band of 3/8 of its width, at least 600 pixels.
  const struct {
    cv::Size panorama;
    cv::Size top;
    cv::Size canvas;
  } cases[] = {
      {{8192, 4096}, {2048, 1024}, {2048, 1792}}, {{1500, 750}, {1500, 750}, {1500, 1350}},
      {{0, 0}, {1024, 512}, {1024, 1112}},        {{4096, 100}, {2048, 256}, {2048, 1024}},
      {{100, 4096}, {1024, 1024}, {1024, 1624}},
  };
  for (const auto& c : cases) {
    const PreviewLayout layout = previewLayout(c.panorama);
    EXPECT_EQ(layout.panorama, cv::Rect(cv::Point(0, 0), c.top)) << c.panorama;
    EXPECT_EQ(layout.canvas, c.canvas) << c.panorama;
    // Plan and legend share the band below.
    EXPECT_EQ(layout.plan | layout.legend,
              cv::Rect(0, c.top.height, c.top.width, layout.canvas.height - c.top.height));
  }
  // The decay curves' strip, a quarter of the width (400 pixels at least),
  // below the reverberation chart's sixth (300 at least).
  for (const int width : {1024, 2048}) {
    const PreviewLayout chart = previewLayout(cv::Size(width, width / 2), true);
    const PreviewLayout both = previewLayout(cv::Size(width, width / 2), true, true);
    EXPECT_EQ(both.acoustics, chart.acoustics);
    EXPECT_EQ(both.decay, cv::Rect(0, chart.canvas.height, width, std::max(width / 4, 400)));
    EXPECT_EQ(both.canvas, cv::Size(width, both.decay.br().y));
  }
}

TEST(RenderPreview, ABoxEdgeIsDrawnInItsCategoryColourOverThePanorama) {
  const cv::Mat& preview = furnishedPreview();
  ASSERT_EQ(preview.type(), CV_8UC3);
  ASSERT_EQ(preview.cols, kPanorama.width);
  // The table's upright edge farthest from its label: nearly every point of
  // it shows the table's colour (where another edge crosses it, that one may).
  int matching = 0;
  const int samples = 40;
  for (int k = 0; k < samples; ++k) {
    const cv::Point3d p(2.5, 0.5, -1.5 + 0.8 * (k + 0.5) / samples);
    if (colourNear(preview, projectPoint(p, kPanorama), kTableColour)) ++matching;
  }
  EXPECT_GE(matching, samples * 8 / 10);
  // The same edge with red and blue swapped is nowhere.
  const cv::Point2f middle = projectPoint(cv::Point3d(2.5, 0.5, -1.1), kPanorama);
  EXPECT_FALSE(colourNear(preview, middle, cv::Vec3b(255, 255, 128)));
  // Away from every edge the panorama is untouched.
  EXPECT_EQ(preview.at<cv::Vec3b>(projectPoint(cv::Point3d(-1, 1, 0.8), kPanorama)), kGrey);
}

TEST(RenderPreview, EdgesOfHiddenFacesOnlyAreDashed) {
  const cv::Mat panorama(kPanorama, CV_8UC3, cv::Scalar(128, 128, 128));
  const cv::Vec3b chairColour(128, 0, 0);
  // A tall box behind the camera to the left; the lower part of its upright
  // edge at x = -1, y = 1 lies far from its label.
  const auto shareOnEdge = [&](const CuboidFaces& faces) {
    Reconstruction room = handMadeRoom();
    addBox(room, kChair, 1, -2.0f, -1.0f, 1.0f, 1.8f, -1.5f, 1.0f, faces);
    const cv::Mat preview = renderPreview(room, panorama);
    // The pixel under each point, the edge being upright: the one of its
    // column whose colour is nearest the chair's.
    int matching = 0;
    for (int k = 0; k < 60; ++k) {
      const cv::Point2f at =
          projectPoint(cv::Point3d(-1.0, 1.0, -1.5 + 0.6 * (k + 0.5) / 60), kPanorama);
      const int y = static_cast<int>(std::lround(at.y));
      const int x = static_cast<int>(std::lround(at.x));
      int nearest = 1000;
      for (int dx = -1; dx <= 1; ++dx) {
        nearest = std::min(nearest, colourDistance(preview.at<cv::Vec3b>(y, x + dx), chairColour));
      }
      if (nearest <= 12) ++matching;
    }
    return matching / 60.0;
  };
  EXPECT_GE(shareOnEdge(CuboidFaces{1, 1, 1, 1, 1, 1}), 0.95);
  // With both faces along it off, the edge has gaps: dashes and gaps alike.
  const double dashed = shareOnEdge(CuboidFaces{1, 0, 0, 1, 1, 1});
  EXPECT_GT(dashed, 0.3);
  EXPECT_LT(dashed, 0.85);
  // One face along it shown keeps it whole.
  EXPECT_GE(shareOnEdge(CuboidFaces{1, 0, 1, 1, 1, 1}), 0.95);
}

TEST(RenderPreview, AnEdgeAcrossColumnZeroReachesBothBordersAndNotTheMiddle) {
  const cv::Mat& preview = furnishedPreview();
  // The bed's near top edge, x = 1.5, z = -1, crosses column 0 at y = 0.
  const float row = projectPoint(cv::Point3d(1.5, 0.0, -1.0), kPanorama).y;
  const int y = static_cast<int>(std::lround(row));
  EXPECT_TRUE(colourNear(preview, cv::Point2f(0, row), kBedColour));
  EXPECT_TRUE(colourNear(preview, cv::Point2f(kPanorama.width - 1.0f, row), kBedColour));
  for (int x = kPanorama.width / 8; x < kPanorama.width * 7 / 8; ++x) {
    for (int dy = -2; dy <= 2; ++dy) {
      ASSERT_GT(colourDistance(preview.at<cv::Vec3b>(y + dy, x), kBedColour), 12)
          << "bed colour at column " << x << ", row " << y + dy;
    }
  }
}

TEST(RenderPreview, ABoxLabelIsCentredOnItsProjectedCentre) {
  const cv::Mat& preview = furnishedPreview();
  // The table's centre, 1.75, 1.25, -1.1.
  const cv::Point2f centre = projectPoint(cv::Point3d(1.75, 1.25, -1.1), kPanorama);
  const cv::Size size = labelSize("Table_1", previewStyle(kPanorama.width));
  const cv::Rect label(static_cast<int>(std::lround(centre.x - size.width / 2.0)),
                       static_cast<int>(std::lround(centre.y - size.height / 2.0)), size.width,
                       size.height);
  // A dark outline on the label's border, filled with the table's colour
  // just inside it.
  const cv::Vec3b outline(20, 20, 20);
  const cv::Point corners[4] = {label.tl(), cv::Point(label.x + label.width - 1, label.y),
                                cv::Point(label.x, label.y + label.height - 1),
                                label.br() - cv::Point(1, 1)};
  const cv::Point inward[4] = {{1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(preview.at<cv::Vec3b>(corners[k]), outline) << corners[k];
    EXPECT_EQ(preview.at<cv::Vec3b>(corners[k] + inward[k]), kTableColour) << corners[k];
  }
  // Most of the label is its colour; the rest is its dark text.
  int filled = 0;
  for (int y = label.y + 1; y < label.y + label.height - 1; ++y) {
    for (int x = label.x + 1; x < label.x + label.width - 1; ++x) {
      if (preview.at<cv::Vec3b>(y, x) == kTableColour) ++filled;
    }
  }
  EXPECT_GT(filled, (label.width - 2) * (label.height - 2) / 2);
}

// The length in pixels of the longest run of about `colour` in a row.
int longestRun(const cv::Mat& image, int y, const cv::Vec3b& colour, int* start) {
  int best = 0;
  int run = 0;
  for (int x = 0; x < image.cols; ++x) {
    run = colourDistance(image.at<cv::Vec3b>(y, x), colour) <= 9 ? run + 1 : 0;
    if (run > best) {
      best = run;
      *start = x - run + 1;
    }
  }
  return best;
}

TEST(RenderPreview, ThePlanIsDrawnToTheScaleOfItsScaleBar) {
  const Reconstruction room = furnishedRoom();
  const cv::Mat plan = furnishedPreview()(previewLayout(kPanorama).plan);
  const PlanFrame frame = fitPlanFrame(collectPreviewItems(room), room.room, plan.size());

  // The room is 6 units wide: its white outline, at y = -1.5 (clear of the
  // boxes and of the capture point's arrow), lies 6 units apart.
  const int y = static_cast<int>(std::lround(frame.at(0, -1.5).y));
  int left = -1;
  int right = -1;
  for (int x = 0; x < plan.cols; ++x) {
    if (colourDistance(plan.at<cv::Vec3b>(y, x), cv::Vec3b(255, 255, 255)) <= 6) {
      if (left < 0) left = x;
      right = x;
    }
  }
  ASSERT_GE(left, 0);
  const double roomPixels = right - left + 1 - 5;  // less the outline's width
  EXPECT_NEAR(roomPixels, 6.0 * frame.pixelsPerUnit, 3.0);

  // The scale bar: the longest straight run of the text colour near the
  // bottom, as long as its units on the plan's scale.
  int barLength = 0;
  int barStart = 0;
  for (int row = plan.rows - frame.margin; row < plan.rows; ++row) {
    int start = 0;
    const int run = longestRun(plan, row, cv::Vec3b(235, 235, 235), &start);
    if (run > barLength) {
      barLength = run;
      barStart = start;
    }
  }
  EXPECT_NEAR(barLength, frame.scaleBarUnits * frame.pixelsPerUnit, 4.0);
  EXPECT_NEAR(barStart, frame.margin, 3.0);
  // Outline and bar agree: the room is 6 units wide by the bar as drawn.
  EXPECT_NEAR(roomPixels / barLength * frame.scaleBarUnits, 6.0, 0.1);
}

TEST(RenderPreview, ExtremeAndUndefinedCoordinatesAreDrawnWithoutFault) {
  // Under the sanitizers: no out-of-range conversion, no endless sampling.
  Reconstruction room = handMadeRoom();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  addBox(room, kBed, 1, -1e30f, 1e30f, 0.5f, 1.0f, -1.0f, 1.0f);
  addBox(room, kBed, 2, 3e38f, 3.4e38f, -3e38f, 3e38f, 0.0f, 0.0f);  // squares overflow a float
  addBox(room, kTable, 1, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f);  // a point at the origin
  room.room.roomMin[0] = nan;
  room.room.roomMax[1] = inf;
  const cv::Mat panorama(cv::Size(64, 32), CV_8UC3, cv::Scalar(0, 0, 0));
  const cv::Mat preview = renderPreview(room, panorama);
  EXPECT_EQ(preview.size(), previewLayout(cv::Size(64, 32)).canvas);
  // A box with a bound that is no finite number has no direction: the
  // preview is refused, naming it, rather than drawn somewhere arbitrary.
  addBox(room, kBed, 3, nan, 1.0f, -inf, inf, 0.0f, 0.0f, CuboidFaces{0, 0, 0, 0, 0, 0});
  EXPECT_ROOMBOX_ERROR(renderPreview(room, panorama),
                       "^Cannot draw the preview: Bed_3 has coordinates that are not finite "
                       "numbers$");
}

TEST(DecayChart, ACurveIsDrawnAtItsLevelsAndStopsAtTheFloor) {
  // 1 kHz falls evenly from 0 to -90 dB over a second: -30 dB at a third,
  // the floor of -60 dB at two thirds. The other bands have no energy.
  RirSummary rir;
  rir.sampleRate = 1000;
  rir.decayDb.assign(kBandCount, std::vector<double>(1000, 0.0));
  for (int n = 0; n < 1000; ++n) rir.decayDb[3][n] = -90.0 * n / 1000;
  const PreviewStyle style = previewStyle(2048);
  cv::Mat area(512, 2048, CV_8UC3);
  drawDecayChart(rir, style, area);
  const cv::Rect plot = decayPlotArea(area.size(), style);
  ASSERT_GT(plot.height, 200);
  // The rows of the chart that show a band's colour in the plot's column at
  // `seconds` (the grid, axes and text are grey).
  const auto colouredRows = [&](double seconds) {
    const int x = plot.x + static_cast<int>(std::lround(seconds * plot.width));
    std::vector<int> rows;
    for (int y = 0; y < area.rows; ++y) {
      const cv::Vec3b p = area.at<cv::Vec3b>(y, x);
      if (std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]}) > 80) rows.push_back(y);
    }
    return rows;
  };
  for (const double seconds : {0.1, 1.0 / 3, 0.6}) {
    const std::vector<int> rows = colouredRows(seconds);
    const double y = plot.y + 90.0 * seconds / 60.0 * plot.height;
    ASSERT_FALSE(rows.empty()) << seconds;
    EXPECT_LE(std::abs(rows.front() - y), 4) << seconds;
    EXPECT_LE(std::abs(rows.back() - y), 4) << seconds;
  }
  // Past the floor nothing, neither along the bottom nor below it.
  EXPECT_TRUE(colouredRows(0.75).empty());
  EXPECT_TRUE(colouredRows(0.95).empty());
}

TEST(DecayChart, OddCurvesAndSmallAreasAreDrawnWithoutFault) {
  // Under the sanitizers: curves of one sample, of unequal lengths, with
  // levels that are no finite numbers, in areas too small for a plot.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  RirSummary rir;
  rir.sampleRate = 48000;
  rir.decayDb = {{0.0}, {0.0, -3.0, nan, -9.0}, {-inf}, {}, {0.0, -inf}, {0.0, -200.0}, {0.0, -1.0}};
  for (const cv::Size size : {cv::Size(2048, 512), cv::Size(40, 30), cv::Size(1, 1)}) {
    cv::Mat area(size, CV_8UC3);
    drawDecayChart(rir, previewStyle(2048), area);
    EXPECT_EQ(area.size(), size);
  }
  rir.sampleRate = 0;
  cv::Mat area(512, 2048, CV_8UC3);
  drawDecayChart(rir, previewStyle(2048), area);
}

TEST(ReverberationChart, TheLegendKeepsClearOfTheTitleOnANarrowPreview) {
  // At 1024 pixels the title reaches the legend's place on its line: the
  // legend's swatches (the only marks in the bars' colours above the plot)
  // move below the title's text.
  RoomAcoustics acoustics;
  acoustics.volume = 60.9;
  acoustics.meanAbsorption.fill(0.13);
  acoustics.rt60Sabine.fill(0.6);
  acoustics.rt60Eyring.fill(0.55);
  for (const int width : {1024, 2048}) {
    const PreviewStyle style = previewStyle(width);
    cv::Mat area(std::max(width / 6, 300), width, CV_8UC3);
    drawReverberationChart(acoustics, style, area);
    const int titleBottom = chartPadding(width) + chartLineHeight(style) + 2;
    int swatch = 0;
    for (int y = 0; y < titleBottom; ++y) {
      for (int x = 0; x < width; ++x) swatch += area.at<cv::Vec3b>(y, x) == cv::Vec3b(230, 160, 70);
    }
    // At 2048 pixels the legend stays on the title's line.
    if (width == 1024) {
      EXPECT_EQ(swatch, 0);
    } else {
      EXPECT_GT(swatch, 0);
    }
  }
}

TEST(WritePreview, WritesThePngOfTheRenderedImage) {
  TempDir dir;
  const Reconstruction room = furnishedRoom();
  const cv::Mat panorama(cv::Size(4096, 2048), CV_8UC3, cv::Scalar(90, 120, 150));
  const std::string path = dir.path() + "room-preview.png";
  writePreview(room, path, panorama);
  const cv::Mat written = cv::imread(path, cv::IMREAD_UNCHANGED);
  ASSERT_FALSE(written.empty());
  // Scaled down to 2048 pixels wide, and stored without loss.
  EXPECT_EQ(written.size(), previewLayout(panorama.size()).canvas);
  EXPECT_EQ(written.cols, 2048);
  EXPECT_EQ(cv::norm(written, renderPreview(room, panorama), cv::NORM_INF), 0.0);
}

TEST(WritePreview, AFileThatCannotBeWrittenIsReported) {
  TempDir dir;
  const Reconstruction room = furnishedRoom();
  const cv::Mat panorama(cv::Size(64, 32), CV_8UC3, cv::Scalar(0, 0, 0));
  EXPECT_ROOMBOX_ERROR(writePreview(room, dir.path() + "missing/room-preview.png", panorama),
                       "^Cannot write .*missing/room-preview.png$");
  EXPECT_ROOMBOX_ERROR(writePreview(room, "/dev/full", panorama), "^Cannot write /dev/full$");
}

}  // namespace
}  // namespace roombox
