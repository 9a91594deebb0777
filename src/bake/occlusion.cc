#include "bake/occlusion.h"

#include "common/parallel.h"
#include "common/pi.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <vector>

namespace roombox {

namespace {

// Map pixels per side of a tile.
constexpr int kTile = 16;

// Distance along the unit direction d at which the ray from the origin
// enters box, or a negative value when it misses it.
double rayEntry(const Cuboid& box, const double d[3]) {
  const double lo[3] = {box.minX, box.minY, box.minZ};
  const double hi[3] = {box.maxX, box.maxY, box.maxZ};
  double enter = 0;
  double leave = 1e300;
  for (int a = 0; a < 3; ++a) {
    if (d[a] == 0) {
      if (lo[a] > 0 || hi[a] < 0) return -1;
      continue;
    }
    double t0 = lo[a] / d[a];
    double t1 = hi[a] / d[a];
    if (t0 > t1) std::swap(t0, t1);
    enter = std::max(enter, t0);
    leave = std::min(leave, t1);
  }
  return enter <= leave ? enter : -1;
}

// The rows and columns a box can cover, a little wide; columns may run past
// the right edge (they wrap). The polar angle of a box point depends on its
// distance from the z axis and its z only, and is monotonic in each, so its
// extremes lie at the extremes of both; the azimuths of a box not around
// the z axis lie within the arc of its four vertical edges.
void boxWindow(const Cuboid& box, int width, int height, int& row0, int& row1, int& col0,
               int& col1) {
  const double xs[2] = {box.minX, box.maxX};
  const double ys[2] = {box.minY, box.maxY};
  const double nearX = box.minX > 0 ? box.minX : (box.maxX < 0 ? box.maxX : 0.0);
  const double nearY = box.minY > 0 ? box.minY : (box.maxY < 0 ? box.maxY : 0.0);
  const double rhoMin = std::hypot(nearX, nearY);
  double rhoMax = 0;
  for (const double x : xs) {
    for (const double y : ys) rhoMax = std::max(rhoMax, std::hypot(x, y));
  }
  double thetaMin = kPi;
  double thetaMax = 0;
  for (const double rho : {rhoMin, rhoMax}) {
    for (const double z : {static_cast<double>(box.minZ), static_cast<double>(box.maxZ)}) {
      const double theta = std::atan2(rho, z);
      thetaMin = std::min(thetaMin, theta);
      thetaMax = std::max(thetaMax, theta);
    }
  }
  row0 = std::max(0, static_cast<int>(std::floor(thetaMin / kPi * height)) - 1);
  row1 = std::min(height - 1, static_cast<int>(std::floor(thetaMax / kPi * height)) + 1);

  const bool aroundAxis = box.minX <= 0 && box.maxX >= 0 && box.minY <= 0 && box.maxY >= 0;
  if (aroundAxis) {
    col0 = 0;
    col1 = width - 1;
    return;
  }
  const double first = std::atan2(-ys[0], xs[0]);
  double low = 0;
  double high = 0;
  for (const double x : xs) {
    for (const double y : ys) {
      double delta = std::atan2(-y, x) - first;
      while (delta > kPi) delta -= 2 * kPi;
      while (delta < -kPi) delta += 2 * kPi;
      low = std::min(low, delta);
      high = std::max(high, delta);
    }
  }
  double start = (first + low) / (2 * kPi) * width;
  double end = (first + high) / (2 * kPi) * width;
  while (start < 0) {
    start += width;
    end += width;
  }
  col0 = static_cast<int>(std::floor(start)) - 1;
  col1 = static_cast<int>(std::floor(end)) + 1;
  if (col1 - col0 >= width) {
    col0 = 0;
    col1 = width - 1;
  }
}

// A box that hides something, with what the map's tiles need of it.
struct Occluder {
  int index;       // into the boxes
  double nearest;  // distance from the origin to the box's nearest point
};

// The distance from the origin to the nearest point of box.
double nearestDistance(const Cuboid& box) {
  const auto gap = [](double lo, double hi) { return lo > 0 ? lo : (hi < 0 ? -hi : 0.0); };
  const double dx = gap(box.minX, box.maxX);
  const double dy = gap(box.minY, box.maxY);
  const double dz = gap(box.minZ, box.maxZ);
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// Calls visit(tile) once for every tile of a map of tilesX x tilesY tiles
// that the box's window (rows row0..row1, columns col0..col1 running past
// the right edge where they wrap) reaches.
template <typename Visit>
void forEachTile(int row0, int row1, int col0, int col1, int width, int tilesX,
                 const Visit& visit) {
  // Column ranges within the map: one, or two where the window wraps.
  int ranges[2][2];
  int rangeCount = 0;
  if (col1 - col0 + 1 >= width) {
    ranges[rangeCount][0] = 0;
    ranges[rangeCount++][1] = width - 1;
  } else {
    const int first = ((col0 % width) + width) % width;
    const int last = first + (col1 - col0);
    ranges[rangeCount][0] = first;
    ranges[rangeCount++][1] = std::min(last, width - 1);
    if (last >= width) {
      ranges[rangeCount][0] = 0;
      ranges[rangeCount++][1] = last - width;
    }
  }
  for (int ty = row0 / kTile; ty <= row1 / kTile; ++ty) {
    for (int k = 0; k < rangeCount; ++k) {
      for (int tx = ranges[k][0] / kTile; tx <= ranges[k][1] / kTile; ++tx) {
        // A tile that both ranges reach is visited with the first.
        if (k == 1 && tx >= ranges[0][0] / kTile) break;
        visit(ty * tilesX + tx);
      }
    }
  }
}

// The candidates of two sets of pixels together.
int merge(int a, int b) {
  if (a == -1 || a == b) return b;
  if (b == -1) return a;
  return kSeveralOccluders;
}

}  // namespace

std::vector<int> occludingBoxes(const std::vector<Cuboid>& boxes) {
  std::vector<int> first(boxes.size(), -1);
  std::vector<int> kept;
  for (std::size_t b = 0; b < boxes.size(); ++b) {
    const Cuboid& box = boxes[b];
    const float bounds[6] = {box.minX, box.maxX, box.minY, box.maxY, box.minZ, box.maxZ};
    const bool finite = std::all_of(bounds, bounds + 6, [](float v) { return std::isfinite(v); });
    const bool holdsOrigin = box.minX <= 0 && box.maxX >= 0 && box.minY <= 0 && box.maxY >= 0 &&
                             box.minZ <= 0 && box.maxZ >= 0;
    if (box.kind == 1.0f && finite && !holdsOrigin) kept.push_back(static_cast<int>(b));
  }
  const auto bounds = [&boxes](int b) {
    const Cuboid& box = boxes[static_cast<std::size_t>(b)];
    return std::array<float, 6>{box.minX, box.maxX, box.minY, box.maxY, box.minZ, box.maxZ};
  };
  // Equal bounds next to each other, lowest index first among them.
  std::stable_sort(kept.begin(), kept.end(),
                   [&bounds](int a, int b) { return bounds(a) < bounds(b); });
  for (std::size_t k = 0; k < kept.size(); ++k) {
    const int b = kept[k];
    const bool repeats = k > 0 && bounds(kept[k - 1]) == bounds(b);
    first[static_cast<std::size_t>(b)] = repeats ? first[static_cast<std::size_t>(kept[k - 1])] : b;
  }
  return first;
}

cv::Mat buildOccluderMap(const std::vector<Cuboid>& boxes, int width, int height, int threads) {
  cv::Mat ids(height, width, CV_32SC1, cv::Scalar(-1));
  if (width <= 0 || height <= 0) return ids;
  const int tilesX = (width + kTile - 1) / kTile;
  const int tilesY = (height + kTile - 1) / kTile;
  const std::size_t tileCount = static_cast<std::size_t>(tilesX) * static_cast<std::size_t>(tilesY);

  // Every box that hides something once, with the tiles its window reaches,
  // gathered per tile (counted first, then filled in place).
  const std::vector<int> first = occludingBoxes(boxes);
  std::vector<Occluder> occluders;
  std::vector<std::array<int, 4>> windows;
  for (std::size_t b = 0; b < boxes.size(); ++b) {
    if (first[b] != static_cast<int>(b)) continue;
    std::array<int, 4> w;
    boxWindow(boxes[b], width, height, w[0], w[1], w[2], w[3]);
    occluders.push_back(Occluder{static_cast<int>(b), nearestDistance(boxes[b])});
    windows.push_back(w);
  }
  std::vector<std::size_t> start(tileCount + 1, 0);
  for (const std::array<int, 4>& w : windows) {
    forEachTile(w[0], w[1], w[2], w[3], width, tilesX,
                [&start](int tile) { ++start[static_cast<std::size_t>(tile) + 1]; });
  }
  std::partial_sum(start.begin(), start.end(), start.begin());
  std::vector<Occluder> byTile(start.back());
  {
    std::vector<std::size_t> fill(start.begin(), start.end() - 1);
    for (std::size_t o = 0; o < occluders.size(); ++o) {
      const std::array<int, 4>& w = windows[o];
      forEachTile(w[0], w[1], w[2], w[3], width, tilesX, [&](int tile) {
        byTile[fill[static_cast<std::size_t>(tile)]++] = occluders[o];
      });
    }
  }

  // The azimuth's cosine and sine per column, shared by every row and box.
  std::vector<double> cosines(static_cast<std::size_t>(width));
  std::vector<double> sines(static_cast<std::size_t>(width));
  for (int col = 0; col < width; ++col) {
    const double phi = (col + 0.5) / width * 2 * kPi;
    cosines[static_cast<std::size_t>(col)] = std::cos(phi);
    sines[static_cast<std::size_t>(col)] = std::sin(phi);
  }
  runParallel(std::max(threads, 1), static_cast<int>(tileCount), [&](int tile) {
    const auto begin = byTile.begin() + static_cast<std::ptrdiff_t>(start[static_cast<std::size_t>(tile)]);
    const auto end = byTile.begin() + static_cast<std::ptrdiff_t>(start[static_cast<std::size_t>(tile) + 1]);
    if (begin == end) return;
    // Nearest first: once a box's nearest point lies beyond the best entry
    // found, no box after it can be met first.
    std::sort(begin, end, [](const Occluder& a, const Occluder& b) {
      return a.nearest != b.nearest ? a.nearest < b.nearest : a.index < b.index;
    });
    const int tx = tile % tilesX;
    const int ty = tile / tilesX;
    for (int row = ty * kTile; row < std::min(height, (ty + 1) * kTile); ++row) {
      const double theta = (row + 0.5) / height * kPi;
      const double s = std::sin(theta);
      const double c = std::cos(theta);
      int* idRow = ids.ptr<int>(row);
      for (int col = tx * kTile; col < std::min(width, (tx + 1) * kTile); ++col) {
        const double d[3] = {s * cosines[static_cast<std::size_t>(col)],
                             -s * sines[static_cast<std::size_t>(col)], c};
        double best = 1e300;
        int id = -1;
        for (auto o = begin; o != end && o->nearest <= best; ++o) {
          const double t = rayEntry(boxes[static_cast<std::size_t>(o->index)], d);
          if (t >= 0 && (t < best || (t == best && o->index < id))) {
            best = t;
            id = o->index;
          }
        }
        idRow[col] = id;
      }
    }
  });
  return ids;
}

cv::Mat occluderCandidates(const cv::Mat& occluders) {
  const int width = occluders.cols;
  const int height = occluders.rows;
  // First along each row (wrapping), then across rows (clamped): merging is
  // associative, so the two passes give the 3 x 3 neighbourhood.
  cv::Mat along(height, width, CV_32SC1);
  for (int row = 0; row < height; ++row) {
    const int* ids = occluders.ptr<int>(row);
    int* out = along.ptr<int>(row);
    for (int col = 0; col < width; ++col) {
      const int left = col == 0 ? width - 1 : col - 1;
      const int right = col + 1 == width ? 0 : col + 1;
      out[col] = merge(merge(ids[left], ids[col]), ids[right]);
    }
  }
  cv::Mat candidates(height, width, CV_32SC1);
  for (int row = 0; row < height; ++row) {
    const int* above = along.ptr<int>(std::max(row - 1, 0));
    const int* here = along.ptr<int>(row);
    const int* below = along.ptr<int>(std::min(row + 1, height - 1));
    int* out = candidates.ptr<int>(row);
    for (int col = 0; col < width; ++col) {
      out[col] = merge(merge(above[col], here[col]), below[col]);
    }
  }
  return candidates;
}

}  // namespace roombox
