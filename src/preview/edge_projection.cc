#include "preview/edge_projection.h"

#include "common/panorama_projection.h"

#include <cmath>
#include <utility>

namespace roombox {

namespace {

// An interval of the segment is drawn as one straight step once its
// projected middle lies within kFlatness pixels of the step's middle and the
// step is at most kLongestStep pixels long.
constexpr float kFlatness = 0.4f;
constexpr float kLongestStep = 64.0f;
// Every segment is halved this often at least, so that a segment whose two
// ends fall close together is still followed along its length; and at most
// this often, where a jump cannot be closed.
constexpr int kMinDepth = 1;
constexpr int kMaxDepth = 20;

// One sample of the projected segment. joined: the step from the sample
// before it follows the curve (false where the sampling could not close a
// jump).
struct Sample {
  cv::Point2f at;
  bool joined;
};

// q moved by the image width where that brings it closer to p: the columns
// wrap around.
cv::Point2f nearSide(const cv::Point2f& p, cv::Point2f q, float width) {
  if (q.x - p.x > 0.5f * width) q.x -= width;
  if (p.x - q.x > 0.5f * width) q.x += width;
  return q;
}

// True when the step from p0 to p1 follows the curve through pm closely.
bool straightEnough(const cv::Point2f& p0, const cv::Point2f& pm, const cv::Point2f& p1,
                    float width) {
  const cv::Point2f m = nearSide(p0, pm, width);
  const cv::Point2f e = nearSide(p0, p1, width);
  const cv::Point2f step = e - p0;
  const cv::Point2f off = m - (p0 + e) * 0.5f;
  return std::hypot(step.x, step.y) <= kLongestStep && std::hypot(off.x, off.y) <= kFlatness;
}

// Appends to samples the projections of the segment's points between the
// parameters t0 (projected at p0, already appended) and t1 (at p1), halving
// the interval until each step follows the curve.
void sampleBetween(const cv::Point3d& a, const cv::Point3d& b, cv::Size image, double t0,
                   const cv::Point2f& p0, double t1, const cv::Point2f& p1, int depth,
                   std::vector<Sample>& samples) {
  const double tm = 0.5 * (t0 + t1);
  const cv::Point2f pm = projectPoint(a + (b - a) * tm, image);
  const bool straight = straightEnough(p0, pm, p1, static_cast<float>(image.width));
  if (depth >= kMinDepth && straight) {
    samples.push_back(Sample{p1, true});
    return;
  }
  if (depth >= kMaxDepth) {
    samples.push_back(Sample{p1, false});
    return;
  }
  sampleBetween(a, b, image, t0, p0, tm, pm, depth + 1, samples);
  sampleBetween(a, b, image, tm, pm, t1, p1, depth + 1, samples);
}

}  // namespace

cv::Point2f projectPoint(const cv::Point3d& p, cv::Size image) {
  if (image.width <= 0 || image.height <= 0) return cv::Point2f(0.0f, 0.0f);
  const cv::Point2d at = panoramaPosition(p, image.width, image.height);
  return cv::Point2f(static_cast<float>(at.x), static_cast<float>(at.y));
}

Polylines projectSegment(const cv::Point3d& a, const cv::Point3d& b, cv::Size image) {
  Polylines pieces;
  if (image.width <= 0 || image.height <= 0) return pieces;
  std::vector<Sample> samples;
  const cv::Point2f start = projectPoint(a, image);
  samples.push_back(Sample{start, true});
  sampleBetween(a, b, image, 0.0, start, 1.0, projectPoint(b, image), 0, samples);

  const float width = static_cast<float>(image.width);
  pieces.emplace_back();
  pieces.back().push_back(start);
  for (std::size_t i = 1; i < samples.size(); ++i) {
    const cv::Point2f& p = samples[i - 1].at;
    const cv::Point2f& q = samples[i].at;
    if (!samples[i].joined) {
      // A jump the sampling could not close: leave a gap.
      pieces.emplace_back();
    } else if (std::fabs(q.x - p.x) > 0.5f * width) {
      // Across column 0: q as seen from p's side of the border ends this
      // piece, p as seen from q's side starts the next.
      pieces.back().push_back(nearSide(p, q, width));
      pieces.emplace_back();
      pieces.back().push_back(nearSide(q, p, width));
    }
    pieces.back().push_back(q);
  }

  Polylines kept;
  for (std::vector<cv::Point2f>& piece : pieces) {
    if (piece.size() >= 2) kept.push_back(std::move(piece));
  }
  return kept;
}

}  // namespace roombox
