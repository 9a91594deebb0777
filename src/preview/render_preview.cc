#include "preview/render_preview.h"

#include "common/output_file.h"
#include "preview/decay_chart.h"
#include "preview/legend.h"
#include "preview/panorama_overlay.h"
#include "preview/plan.h"
#include "preview/preview_items.h"
#include "preview/preview_style.h"
#include "preview/reverberation_chart.h"
#include "roombox/write_preview.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace roombox {

namespace {

// The widths the panorama is drawn at, the rest of the preview with it.
constexpr int kWidest = 2048;
constexpr int kNarrowest = 1024;
// The band below the panorama is never lower than this, so that the legend
// of all fifteen categories and its line styles fit at the smallest text.
constexpr int kLowestBand = 600;
// Nor the legend narrower than this, for its longest line.
constexpr int kNarrowestLegend = 380;

// Nor the reverberation chart lower than this.
constexpr int kLowestChart = 300;
// Nor the decay curves' chart, whose levels need the height.
constexpr int kLowestDecayChart = 400;

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

PreviewLayout previewLayout(cv::Size panorama, bool chart, bool decay) {
  const bool empty = panorama.width <= 0 || panorama.height <= 0;
  const int width = empty ? kNarrowest : std::min(std::max(panorama.width, kNarrowest), kWidest);
  int height = width / 2;
  if (!empty) {
    const double scaled = static_cast<double>(panorama.height) * width / panorama.width;
    height = static_cast<int>(std::lround(std::min(std::max(scaled, width / 8.0), 1.0 * width)));
  }
  const int band = std::max(width * 3 / 8, kLowestBand);
  const int legendWidth = std::max(width * 3 / 10, kNarrowestLegend);
  PreviewLayout layout;
  layout.canvas = cv::Size(width, height + band);
  layout.panorama = cv::Rect(0, 0, width, height);
  layout.plan = cv::Rect(0, height, width - legendWidth, band);
  layout.legend = cv::Rect(width - legendWidth, height, legendWidth, band);
  if (chart) {
    const int strip = std::max(width / 6, kLowestChart);
    layout.acoustics = cv::Rect(0, height + band, width, strip);
    layout.canvas.height += strip;
    if (decay) {
      const int decayStrip = std::max(width / 4, kLowestDecayChart);
      layout.decay = cv::Rect(0, layout.canvas.height, width, decayStrip);
      layout.canvas.height += decayStrip;
    }
  }
  return layout;
}

cv::Mat renderPreview(const Reconstruction& room, const cv::Mat& panorama,
                      const RoomAcoustics* acoustics) {
  const bool decay = acoustics != nullptr && acoustics->rir && !acoustics->rir->decayDb.empty();
  const PreviewLayout layout = previewLayout(panorama.size(), acoustics != nullptr, decay);
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

  if (acoustics != nullptr) {
    cv::Mat chart = preview(layout.acoustics);
    drawReverberationChart(*acoustics, style, chart);
  }
  if (decay) {
    cv::Mat curves = preview(layout.decay);
    drawDecayChart(*acoustics->rir, style, curves);
  }
  return preview;
}

void writePreview(const Reconstruction& room, const std::string& path, const cv::Mat& panorama,
                  const RoomAcoustics* acoustics) {
  const cv::Mat preview = renderPreview(room, panorama, acoustics);
  // Given no compression level, OpenCV's PNG writer uses its fast settings:
  // every row filtered by its left neighbour (SUB) and zlib's fastest level.
  // zlib's strategy for filtered data makes the file a quarter smaller at
  // the same speed. Naming a level instead turns on libpng's adaptive
  // filtering, which takes about twice as long for a file a third smaller.
  const std::vector<int> settings{cv::IMWRITE_PNG_STRATEGY, cv::IMWRITE_PNG_STRATEGY_FILTERED};
  writeImageFile(preview, path, ".png", settings);
}

}  // namespace roombox
