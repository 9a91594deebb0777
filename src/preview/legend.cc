#include "preview/legend.h"

#include "preview/preview_style.h"
#include "roombox/categories.h"

#include <opencv2/imgproc.hpp>

#include <string>

namespace roombox {

namespace {

// "1 box", "3 boxes", "1 surface", ...
std::string counted(int count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The legend's rows, written top to bottom.
struct Rows {
  cv::Mat& legend;
  const PreviewStyle& style;
  int height;  // of one row
  int swatch;  // width of the sample at the left of a row
  int y;       // top of the next row
  int left;

  bool fits() const { return y + height <= legend.rows; }

  // Writes words in the text colour, after the sample column when indented.
  void write(const std::string& words, bool indented) {
    const cv::Point at(left + (indented ? swatch + height / 2 : 0), y + height * 2 / 3);
    cv::putText(legend, words, at, cv::FONT_HERSHEY_SIMPLEX, style.textScale, kPreviewText,
                style.textThickness, cv::LINE_AA);
    y += height;
  }
};

}  // namespace

void drawLegend(const std::vector<PreviewItem>& items, const PreviewStyle& style, cv::Mat& legend) {
  legend.setTo(kPreviewBackground);
  int baseline = 0;
  const cv::Size letter =
      cv::getTextSize("Mg", cv::FONT_HERSHEY_SIMPLEX, style.textScale, 1, &baseline);
  const int height = (letter.height + baseline) * 8 / 5;
  Rows rows{legend, style, height, 3 * height, height / 2, height / 2};

  int boxes[kCategoryCount] = {};
  int surfaces[kCategoryCount] = {};
  for (const PreviewItem& item : items) {
    if (item.category < 0 || item.category >= kCategoryCount) continue;
    ++(item.box ? boxes : surfaces)[item.category];
  }

  if (rows.fits()) rows.write("Categories", false);
  for (int c = 0; c < kCategoryCount && rows.fits(); ++c) {
    if (boxes[c] == 0 && surfaces[c] == 0) continue;
    const cv::Rect sample(rows.left, rows.y + height / 6, rows.swatch, height * 2 / 3);
    cv::rectangle(legend, sample, categoryColour(c), cv::FILLED);
    cv::rectangle(legend, sample, kPreviewText, 1);
    std::string words = std::string(categoryName(c)) + ":";
    if (boxes[c] > 0) words += " " + counted(boxes[c], "box", "boxes");
    if (boxes[c] > 0 && surfaces[c] > 0) words += ",";
    if (surfaces[c] > 0) words += " " + counted(surfaces[c], "surface", "surfaces");
    rows.write(words, true);
  }

  rows.y += height / 2;
  if (rows.fits()) rows.write("Lines", false);
  // Each mark: a sample line (solid or dashed, in a colour) and what it means.
  struct Mark {
    cv::Scalar colour;
    bool dashed;
    int thickness;
    const char* meaning;
  };
  const cv::Scalar sampleColour(200, 200, 200);
  const Mark marks[] = {
      {sampleColour, false, style.edgeThickness, "edge in the mesh"},
      {sampleColour, true, style.edgeThickness, "edge of hidden faces only"},
      {kPreviewRoom, false, style.roomThickness, "room box"},
      {kPreviewCapture, false, 2, "capture point, column 0"},
  };
  for (const Mark& mark : marks) {
    if (!rows.fits()) break;
    const float middle = static_cast<float>(rows.y + height / 2);
    const std::vector<cv::Point2f> sample{
        cv::Point2f(static_cast<float>(rows.left), middle),
        cv::Point2f(static_cast<float>(rows.left + rows.swatch), middle)};
    const Polylines pieces =
        mark.dashed ? dashPolyline(sample, style.dash, style.gap) : Polylines{sample};
    drawPolylines(legend, pieces, kPreviewHalo, mark.thickness + 2);
    drawPolylines(legend, pieces, mark.colour, mark.thickness);
    rows.write(mark.meaning, true);
  }
  if (rows.fits()) rows.write("Edges and labels: category colour", false);
}

}  // namespace roombox
