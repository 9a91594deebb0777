#include "preview/decay_chart.h"

#include "preview/chart_axes.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace roombox {

namespace {

// The bands' colours, from red at 125 Hz through the spectrum to violet at
// 8 kHz (blue, green, red), all light enough for the dark background.
const cv::Scalar kBandColours[kBandCount] = {cv::Scalar(80, 80, 245),  cv::Scalar(40, 160, 255),
                                             cv::Scalar(60, 225, 235), cv::Scalar(90, 215, 90),
                                             cv::Scalar(235, 215, 70), cv::Scalar(255, 140, 80),
                                             cv::Scalar(235, 120, 225)};

const char* const kBandNames[kBandCount] = {"125 Hz", "250 Hz", "500 Hz", "1 kHz",
                                            "2 kHz",  "4 kHz",  "8 kHz"};

constexpr double kDbStep = 10.0;

// A curve of 0 dB throughout: energyDecayCurves' mark of a band without
// energy.
bool silent(const std::vector<double>& curve) {
  return std::all_of(curve.begin(), curve.end(), [](double level) { return level == 0.0; });
}

// The points of curve in plot, whose width stands for `frames` samples: one
// per pixel column, column i showing the level of the sample at i /
// plot.width of them. The line ends where it falls below the floor, at the
// floor; or before a level that is no number, or the curve's end.
std::vector<cv::Point2f> curvePoints(const std::vector<double>& curve, std::int64_t frames,
                                     const cv::Rect& plot) {
  std::vector<cv::Point2f> points;
  if (frames == 0 || plot.width <= 0) return points;
  const auto yOf = [&plot](double level) {
    return static_cast<float>(plot.y + level / kDecayChartFloorDb * plot.height);
  };
  for (int i = 0; i <= plot.width; ++i) {
    const std::int64_t n = std::min(frames - 1, i * frames / plot.width);
    if (n >= static_cast<std::int64_t>(curve.size())) break;
    const double level = std::min(curve[static_cast<std::size_t>(n)], 0.0);
    if (!std::isfinite(level)) break;
    const float x = static_cast<float>(plot.x + i);
    if (level < kDecayChartFloorDb) {
      if (!points.empty()) {
        // Where the line from the last point crosses the floor.
        const cv::Point2f& last = points.back();
        const double before = (last.y - plot.y) / plot.height * kDecayChartFloorDb;
        const double share = (before - kDecayChartFloorDb) / (before - level);
        points.emplace_back(static_cast<float>(last.x + share * (x - last.x)),
                            yOf(kDecayChartFloorDb));
      }
      break;
    }
    points.emplace_back(x, yOf(level));
  }
  return points;
}

// The legend's width, right of the plot, for a line of text `line` high.
int legendWidth(int line) { return 6 * line; }

}  // namespace

cv::Rect decayPlotArea(cv::Size size, const PreviewStyle& style) {
  const int pad = chartPadding(size.width);
  const int line = chartLineHeight(style);
  const cv::Rect plot(pad + 4 * line, pad + 2 * line,
                      size.width - 2 * pad - 5 * line - legendWidth(line),
                      size.height - 4 * line - 2 * pad);
  return plot.width > 0 && plot.height > 0 ? plot : cv::Rect();
}

void drawDecayChart(const RirSummary& rir, const PreviewStyle& style, cv::Mat& area) {
  area.setTo(kPreviewBackground);
  const int pad = chartPadding(area.cols);
  const int line = chartLineHeight(style);
  std::size_t frames = 0;
  for (const std::vector<double>& curve : rir.decayDb) frames = std::max(frames, curve.size());
  const double lengthS = rir.sampleRate > 0 ? double(frames) / rir.sampleRate : 0.0;
  std::string title = "Energy decay of the impulse response per octave band (Schroeder)";
  if (rir.format == "ambix") title += ", W channel";
  title += chartNumber(", %.3g s", lengthS);
  if (rir.truncated) title += ", cut at the length cap";
  drawHaloText(area, title, cv::Point(pad, pad + line), style, kPreviewText);

  const cv::Rect plot = decayPlotArea(area.size(), style);
  if (plot.empty()) return;

  // Levels: a grid line every 10 dB, labelled on the left.
  for (int k = 0; k * kDbStep <= -kDecayChartFloorDb + 1e-9; ++k) {
    const int y =
        plot.y + static_cast<int>(std::lround(k * kDbStep / -kDecayChartFloorDb * plot.height));
    cv::line(area, cv::Point(plot.x, y), cv::Point(plot.x + plot.width, y), kPreviewFaint, 1);
    drawHaloText(area, chartNumber("%.0f dB", -k * kDbStep + 0.0), cv::Point(pad, y + line / 3),
                 style, kPreviewText);
  }
  // Time: round steps up to the response's length, labelled below.
  if (lengthS > 0.0) {
    const double step = axisStep(lengthS, 0.0);
    for (int k = 0; k * step <= lengthS * (1 + 1e-9); ++k) {
      const int x = plot.x + static_cast<int>(std::lround(k * step / lengthS * plot.width));
      cv::line(area, cv::Point(x, plot.y), cv::Point(x, plot.y + plot.height), kPreviewFaint, 1);
      const std::string label = chartNumber("%g s", k * step);
      int baseline = 0;
      const cv::Size size = cv::getTextSize(label, cv::FONT_HERSHEY_SIMPLEX, style.textScale,
                                            style.textThickness, &baseline);
      drawHaloText(area, label, cv::Point(x - size.width / 2, plot.y + plot.height + line + 4),
                   style, kPreviewText);
    }
  }
  cv::line(area, cv::Point(plot.x, plot.y), cv::Point(plot.x, plot.y + plot.height), kPreviewText,
           1);
  cv::line(area, cv::Point(plot.x, plot.y + plot.height),
           cv::Point(plot.x + plot.width, plot.y + plot.height), kPreviewText, 1);

  // The curves, from the highest band down, so that where two meet the
  // lower band's shows; and the legend.
  const int legendX = area.cols - pad - legendWidth(line);
  const int bands = std::min<int>(kBandCount, static_cast<int>(rir.decayDb.size()));
  for (int b = bands - 1; b >= 0; --b) {
    if (silent(rir.decayDb[b])) continue;
    drawPolylines(area, Polylines{curvePoints(rir.decayDb[b], std::int64_t(frames), plot)},
                  kBandColours[b], style.edgeThickness);
  }
  for (int b = 0; b < bands; ++b) {
    const int y = plot.y + b * line + line / 2;
    const bool none = silent(rir.decayDb[b]);
    if (!none) {
      cv::line(area, cv::Point(legendX, y), cv::Point(legendX + line, y), kBandColours[b],
               style.edgeThickness + 1, cv::LINE_AA);
    }
    drawHaloText(area, std::string(kBandNames[b]) + (none ? " (none)" : ""),
                 cv::Point(legendX + line + line / 3, y + line / 3), style, kPreviewText);
  }
}

}  // namespace roombox
