// Cuts the decay curves' chart from the bottom of a preview image that
// roombox wrote with --preview and --rir, and writes it as a PNG image of its
// own, for a figure (scripts/update-preview.sh).
//
// Usage: decay_figure <preview.png> <output.png>

#include "preview/render_preview.h"

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "Usage: decay_figure <preview.png> <output.png>\n");
    return 2;
  }
  const cv::Mat preview = cv::imread(argv[1], cv::IMREAD_COLOR);
  if (preview.empty()) {
    std::fprintf(stderr, "Cannot read %s\n", argv[1]);
    return 2;
  }
  // The chart's height depends on the preview's width alone.
  const roombox::PreviewLayout layout =
      roombox::previewLayout(cv::Size(preview.cols, preview.cols / 2), true, true);
  const int rows = layout.decay.height;
  if (preview.cols != layout.canvas.width || preview.rows < layout.canvas.height) {
    std::fprintf(stderr, "%s is no preview with a decay chart\n", argv[1]);
    return 2;
  }
  if (!cv::imwrite(argv[2], preview(cv::Rect(0, preview.rows - rows, preview.cols, rows)))) {
    std::fprintf(stderr, "Cannot write %s\n", argv[2]);
    return 2;
  }
  return 0;
}
