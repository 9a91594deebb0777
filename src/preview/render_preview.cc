#include "preview/render_preview.h"

#include "preview/collect_preview_items.h"
#include "preview/draw_direction_marks.h"
#include "preview/draw_legend.h"
#include "preview/draw_panorama_overlay.h"
#include "preview/draw_plan.h"
#include "preview/plan_frame.h"
#include "preview/preview_colours.h"
#include "preview/preview_layout.h"
#include "preview/preview_style.h"

#include <opencv2/imgproc.hpp>

namespace roombox {

namespace {

const cv::Scalar kNoPanorama(96, 96, 96);

// Copies panorama into area (an image of the preview), scaled to its size:
// averaged over the pixels it shrinks, interpolated where it grows.
void placePanorama(const cv::Mat& panorama, cv::Mat& area) {
  const bool usable =
      !panorama.empty() && panorama.depth() == CV_8U &&
      (panorama.channels() == 1 || panorama.channels() == 3 || panorama.channels() == 4);
  if (!usable) {
    area.setTo(kNoPanorama);
    return;
  }
  cv::Mat colour = panorama;
  if (panorama.channels() == 1) cv::cvtColor(panorama, colour, cv::COLOR_GRAY2BGR);
  if (panorama.channels() == 4) cv::cvtColor(panorama, colour, cv::COLOR_BGRA2BGR);
  if (colour.size() == area.size()) {
    colour.copyTo(area);
    return;
  }
  const bool shrinks = colour.cols >= area.cols && colour.rows >= area.rows;
  // The area is a view into the preview: resize writes into it in place.
  cv::resize(colour, area, area.size(), 0.0, 0.0, shrinks ? cv::INTER_AREA : cv::INTER_LINEAR);
}

}  // namespace

cv::Mat renderPreview(const Reconstruction& room, const cv::Mat& panorama) {
  const PreviewLayout layout = previewLayout(panorama.size());
  const PreviewStyle style = previewStyle(layout.canvas.width);
  cv::Mat preview(layout.canvas, CV_8UC3, kPreviewBackground);
  const std::vector<PreviewItem> items = collectPreviewItems(room);

  cv::Mat top = preview(layout.panorama);
  placePanorama(panorama, top);
  drawPanoramaOverlay(items, room.room, style, top);
  drawDirectionMarks(top, style);

  cv::Mat plan = preview(layout.plan);
  const PlanFrame frame = fitPlanFrame(items, room.room, plan.size());
  drawPlan(items, room.room, frame, style, plan);

  cv::Mat legend = preview(layout.legend);
  drawLegend(items, style, legend);
  return preview;
}

}  // namespace roombox
