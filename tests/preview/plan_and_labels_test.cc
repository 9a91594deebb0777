// Where the plan puts the scene, and where labels go.
#include "preview/labels.h"
#include "preview/plan.h"
#include "preview/preview_style.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace roombox {
namespace {

RoomBox roomBox(float minX, float maxX, float minY, float maxY) {
  RoomBox room;
  room.roomMin[0] = minX;
  room.roomMax[0] = maxX;
  room.roomMin[1] = minY;
  room.roomMax[1] = maxY;
  room.roomMin[2] = -1.0f;
  room.roomMax[2] = 1.0f;
  return room;
}

PreviewItem footprint(double minX, double maxX, double minY, double maxY) {
  PreviewItem item;
  item.box = true;
  item.footprintMin = cv::Point2d(minX, minY);
  item.footprintMax = cv::Point2d(maxX, maxY);
  return item;
}

TEST(PlanFrame, TheRoomFillsThePlanAtOneScaleCentredWithYUp) {
  // 5.5 x 4.5 units into 900 x 400 free pixels (margins of 50): the height
  // decides.
  const PlanFrame frame = fitPlanFrame({}, roomBox(-2.5f, 3.0f, -2.0f, 2.5f), cv::Size(1000, 500));
  EXPECT_EQ(frame.margin, 50);
  EXPECT_NEAR(frame.pixelsPerUnit, 400.0 / 4.5, 1e-9);
  const cv::Point2d low = frame.at(-2.5, -2.0);
  const cv::Point2d high = frame.at(3.0, 2.5);
  EXPECT_NEAR(high.x - low.x, 5.5 * 400.0 / 4.5, 1e-6);
  EXPECT_NEAR(low.y - high.y, 400.0, 1e-6);  // y grows upward
  EXPECT_NEAR(high.y, 49.5, 1e-6);
  EXPECT_NEAR((low.x + high.x) / 2, 499.5, 1e-6);
  // A quarter of the free width is 2.53 units: the bar is 2 units; the grid
  // spacing at most a tenth, 1.01 units: 1.
  EXPECT_DOUBLE_EQ(frame.scaleBarUnits, 2.0);
  EXPECT_DOUBLE_EQ(frame.gridUnits, 1.0);

  // A narrow tall room: the width decides; bar and grid follow the scale.
  const PlanFrame tall = fitPlanFrame({}, roomBox(0.0f, 0.03f, 0.0f, 0.004f), cv::Size(300, 1000));
  EXPECT_NEAR(tall.pixelsPerUnit, 100.0 / static_cast<double>(0.03f), 1e-6);
  EXPECT_DOUBLE_EQ(tall.scaleBarUnits, 0.005);
  EXPECT_NEAR(tall.gridUnits, 0.002, 1e-12);
  // A small plan keeps a margin of 8 pixels.
  EXPECT_EQ(fitPlanFrame({}, roomBox(0, 1, 0, 1), cv::Size(60, 60)).margin, 8);
}

TEST(PlanFrame, TheCapturePointAndEveryBoxAreInsideThePlan) {
  // The room lies off to the side of the origin, a box sticks out of it.
  const std::vector<PreviewItem> items{
      footprint(4.0, 5.0, 1.0, 2.0),
      footprint(std::numeric_limits<double>::quiet_NaN(), HUGE_VAL, -HUGE_VAL, 0.0)};
  const PlanFrame frame = fitPlanFrame(items, roomBox(1.0f, 4.0f, 1.0f, 3.0f), cv::Size(700, 200));
  for (const cv::Point2d p : {frame.at(0, 0), frame.at(5, 3), frame.at(0, 3), frame.at(5, 0)}) {
    EXPECT_GE(p.x, 20 - 0.5 - 1e-9) << p;
    EXPECT_LE(p.x, 680 - 0.5 + 1e-9) << p;
    EXPECT_GE(p.y, 20 - 0.5 - 1e-9) << p;
    EXPECT_LE(p.y, 180 - 0.5 + 1e-9) << p;
  }
  EXPECT_NEAR(frame.pixelsPerUnit, 160.0 / 3.0, 1e-9);

  // Nothing to show, not even a room box: one unit around the origin.
  RoomBox unset;
  const PlanFrame empty = fitPlanFrame({}, unset, cv::Size(300, 300));
  EXPECT_NEAR(empty.pixelsPerUnit, 240.0, 1e-9);
  EXPECT_NEAR(empty.at(0, 0).x, 149.5, 1e-9);
}

TEST(PlaceLabels, ALabelIsCentredOnItsAnchorAndLaterOnesMoveClear) {
  const cv::Size image(400, 200);
  const cv::Size size(60, 20);
  const std::vector<cv::Rect> boxes = placeLabels(
      {cv::Point2f(100, 100), cv::Point2f(100, 100), cv::Point2f(104, 96), cv::Point2f(300, 100)},
      {size, size, size, size}, image);
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[0], cv::Rect(70, 90, 60, 20));
  // The same anchor again: one height and a gap down, then up.
  EXPECT_EQ(boxes[1], cv::Rect(70, 112, 60, 20));
  EXPECT_EQ(boxes[2], cv::Rect(74, 64, 60, 20));
  EXPECT_EQ(boxes[3], cv::Rect(270, 90, 60, 20));
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    for (std::size_t j = i + 1; j < boxes.size(); ++j) {
      EXPECT_EQ((boxes[i] & boxes[j]).area(), 0) << i << " " << j;
    }
  }
  // Labels at the borders are kept inside the image.
  const std::vector<cv::Rect> edge =
      placeLabels({cv::Point2f(-5, 3), cv::Point2f(399, 199)}, {size, size}, image);
  EXPECT_EQ(edge[0], cv::Rect(0, 0, 60, 20));
  EXPECT_EQ(edge[1], cv::Rect(340, 180, 60, 20));
  EXPECT_TRUE(placeLabels({cv::Point2f(1, 1)}, {size}, cv::Size(0, 0)).empty());
}

}  // namespace
}  // namespace roombox
