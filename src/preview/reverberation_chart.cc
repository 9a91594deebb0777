#include "preview/reverberation_chart.h"

#include "preview/chart_axes.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <string>

namespace roombox {

namespace {

const cv::Scalar kSabineColour(230, 160, 70);  // blue
const cv::Scalar kEyringColour(80, 170, 255);  // orange

}  // namespace

void drawReverberationChart(const RoomAcoustics& a, const PreviewStyle& style, cv::Mat& area) {
  area.setTo(kPreviewBackground);
  const int pad = chartPadding(area.cols);
  const int line = chartLineHeight(style);
  const std::string title = "Reverberation time per octave band, " +
                            chartNumber("%.1f m3 of air", a.volume) +
                            chartNumber(", mean absorption %.2f at 1 kHz", a.meanAbsorption[3]);
  drawHaloText(area, title, cv::Point(pad, pad + line), style, kPreviewText);
  // Legend on the title line's right, or on a line of its own below the
  // title where the title reaches it (narrow previews).
  const int legendX = area.cols - pad - 16 * line;
  int baseline = 0;
  const int titleWidth = cv::getTextSize(title, cv::FONT_HERSHEY_SIMPLEX, style.textScale,
                                         style.textThickness, &baseline).width;
  const int legendTop = pad + (pad + titleWidth + line > legendX ? line * 3 / 2 : 0);
  cv::rectangle(area, cv::Rect(legendX, legendTop + line / 4, line * 2 / 3, line * 2 / 3),
                kSabineColour, cv::FILLED);
  drawHaloText(area, "Sabine", cv::Point(legendX + line, legendTop + line), style, kPreviewText);
  cv::rectangle(area, cv::Rect(legendX + 7 * line, legendTop + line / 4, line * 2 / 3, line * 2 / 3),
                kEyringColour, cv::FILLED);
  drawHaloText(area, "Eyring", cv::Point(legendX + 8 * line, legendTop + line), style,
               kPreviewText);

  double longest = 0.0;
  for (int b = 0; b < kBandCount; ++b) {
    longest = std::max({longest, a.rt60Sabine[b], a.rt60Eyring[b]});
  }
  if (!(longest > 0.0) || !std::isfinite(longest)) longest = 1.0;
  const double step = axisStep(longest, 0.1);
  const double top = std::ceil(longest / step - 1e-9) * step;

  const int below = legendTop - pad;  // what the legend's own line takes
  const cv::Rect plot(pad + 4 * line, pad + 2 * line + below, area.cols - 2 * pad - 5 * line,
                      area.rows - 4 * line - 2 * pad - below);
  if (plot.width <= 0 || plot.height <= 0) return;
  auto yOf = [&plot, top](double seconds) {
    return plot.y + plot.height - static_cast<int>(std::lround(seconds / top * plot.height));
  };
  for (int k = 0; k * step <= top + 1e-9; ++k) {
    const int y = yOf(k * step);
    cv::line(area, cv::Point(plot.x, y), cv::Point(plot.x + plot.width, y), kPreviewFaint, 1);
    drawHaloText(area, chartNumber("%.2f s", k * step), cv::Point(pad, y + line / 3), style,
                 kPreviewText);
  }
  const int slot = plot.width / kBandCount;
  const int bar = std::max(2, slot * 3 / 10);
  const char* labels[kBandCount] = {"125", "250", "500", "1k", "2k", "4k", "8k"};
  for (int b = 0; b < kBandCount; ++b) {
    const int left = plot.x + b * slot + (slot - 2 * bar) / 2;
    const double times[2] = {a.rt60Sabine[b], a.rt60Eyring[b]};
    const cv::Scalar colours[2] = {kSabineColour, kEyringColour};
    for (int k = 0; k < 2; ++k) {
      const double t = std::isfinite(times[k]) ? std::min(std::max(times[k], 0.0), top) : 0.0;
      const int y = yOf(t);
      cv::rectangle(area, cv::Rect(left + k * bar, y, bar - 1, plot.y + plot.height - y),
                    colours[k], cv::FILLED);
    }
    drawHaloText(area, std::string(labels[b]) + " Hz",
                 cv::Point(plot.x + b * slot + slot / 2 - 2 * line, plot.y + plot.height + line + 4),
                 style, kPreviewText);
  }
  cv::line(area, cv::Point(plot.x, plot.y + plot.height),
           cv::Point(plot.x + plot.width, plot.y + plot.height), kPreviewText, 1);
}

}  // namespace roombox
