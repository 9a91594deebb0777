#include "bake/atlas_layout.h"

#include "roombox/error.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace roombox {

namespace {

// Edge lengths of a rectangle and its distance from the origin.
struct RectangleSize {
  double edgeU;  // |c1 - c0|
  double edgeV;  // |c3 - c0|
  double nearest;
};

RectangleSize measureRectangle(const MeshStore& mesh, int row) {
  double c[4][3];
  rectangleCorners(mesh, row, c);
  double u[3], v[3];
  double uu = 0, vv = 0, ou = 0, ov = 0;
  for (int a = 0; a < 3; ++a) {
    u[a] = c[1][a] - c[0][a];
    v[a] = c[3][a] - c[0][a];
    uu += u[a] * u[a];
    vv += v[a] * v[a];
    ou -= c[0][a] * u[a];
    ov -= c[0][a] * v[a];
  }
  // The point of the rectangle nearest the origin: the origin's projection
  // onto its plane, clamped into the rectangle (its edges are at right
  // angles).
  const double s = uu > 0 ? std::clamp(ou / uu, 0.0, 1.0) : 0.0;
  const double t = vv > 0 ? std::clamp(ov / vv, 0.0, 1.0) : 0.0;
  double d2 = 0;
  for (int a = 0; a < 3; ++a) {
    const double q = c[0][a] + s * u[a] + t * v[a];
    d2 += q * q;
  }
  return RectangleSize{std::sqrt(uu), std::sqrt(vv), std::sqrt(d2)};
}

// Texels along an edge of `length` with texels of `side`, within 1..most.
int texelCount(double length, double side, int most) {
  if (!(side > 0) || !(length > 0)) return 1;
  const double n = std::ceil(length / side - 1e-9);
  if (!(n >= 1)) return 1;
  return n >= most ? most : static_cast<int>(n);
}

// Patches up to which packSkyline packs them; it takes time quadratic in
// their count, so larger meshes are packed in shelves.
constexpr std::size_t kMostSkylinePatches = 4096;

// The patch indices tallest first (widest first among equally tall ones).
std::vector<int> tallestFirst(const std::vector<AtlasPatch>& patches) {
  std::vector<int> order(patches.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&patches](int a, int b) {
    return patches[a].height != patches[b].height ? patches[a].height > patches[b].height
                                                  : patches[a].width > patches[b].width;
  });
  return order;
}

// Puts patch p with its gutter's top-left corner at (x, top).
void place(AtlasPatch& p, long long x, long long top) {
  p.x = static_cast<int>(x) + kAtlasGutter;
  p.y = static_cast<int>(std::min<long long>(top, 1LL << 30)) + kAtlasGutter;
}

// Packs patches (their sizes set) in shelves of width `width` in the given
// order; returns the atlas height, or -1 when a patch is wider than width.
long long packShelves(std::vector<AtlasPatch>& patches, const std::vector<int>& order,
                      int width) {
  long long shelfTop = 0;
  int shelfHeight = 0;
  int x = 0;
  for (const int i : order) {
    AtlasPatch& p = patches[i];
    const int w = p.width + 2 * kAtlasGutter;
    const int h = p.height + 2 * kAtlasGutter;
    if (w > width) return -1;
    if (x + w > width) {
      shelfTop += shelfHeight;
      shelfHeight = 0;
      x = 0;
    }
    if (shelfHeight == 0) shelfHeight = h;
    place(p, x, shelfTop);
    x += w;
  }
  return shelfTop + shelfHeight;
}

// Packs patches (their sizes set) into an atlas of width `width` in the
// given order, each resting on the skyline of the patches placed so far
// where its bottom edge comes out nearest the atlas top, leftmost among
// equals. Unlike shelves it
// fills the space beside and below shorter patches, which for a room's few
// very large patches (floor, ceiling) and many small ones wastes a few
// percent of the atlas instead of about a quarter. Returns the atlas height,
// or -1 when a patch is wider than width.
long long packSkyline(std::vector<AtlasPatch>& patches, const std::vector<int>& order,
                      int width) {
  struct Segment {
    int x;
    int width;
    long long top;  // the lowest free row above this stretch of columns
  };
  std::vector<Segment> skyline{{0, width, 0}};
  std::vector<Segment> next;
  long long height = 0;
  for (const int i : order) {
    AtlasPatch& p = patches[i];
    const int w = p.width + 2 * kAtlasGutter;
    const long long h = p.height + 2 * kAtlasGutter;
    if (w > width) return -1;
    long long bestBottom = -1;
    long long bestTop = 0;
    int bestX = 0;
    for (std::size_t k = 0; k < skyline.size() && skyline[k].x + w <= width; ++k) {
      long long top = 0;
      int covered = 0;
      for (std::size_t j = k; covered < w; ++j) {
        top = std::max(top, skyline[j].top);
        covered += skyline[j].width;
      }
      if (bestBottom < 0 || top + h < bestBottom) {
        bestBottom = top + h;
        bestTop = top;
        bestX = skyline[k].x;
      }
    }
    place(p, bestX, bestTop);
    height = std::max(height, bestBottom);
    // The skyline with the patch's columns raised to its bottom edge.
    next.clear();
    for (const Segment& s : skyline) {
      const int end = s.x + s.width;
      if (end <= bestX || s.x >= bestX + w) {
        next.push_back(s);
        continue;
      }
      if (s.x < bestX) next.push_back(Segment{s.x, bestX - s.x, s.top});
      if (s.x <= bestX) next.push_back(Segment{bestX, w, bestBottom});
      if (end > bestX + w) next.push_back(Segment{bestX + w, end - bestX - w, s.top});
    }
    skyline.clear();
    for (const Segment& s : next) {
      if (!skyline.empty() && skyline.back().top == s.top) {
        skyline.back().width += s.width;
      } else {
        skyline.push_back(s);
      }
    }
  }
  return height;
}

// Packs the patches into an atlas of width `width`; returns its height or
// -1 when a patch is wider than width.
long long pack(std::vector<AtlasPatch>& patches, int width) {
  const std::vector<int> order = tallestFirst(patches);
  return patches.size() <= kMostSkylinePatches ? packSkyline(patches, order, width)
                                                : packShelves(patches, order, width);
}

}  // namespace

AtlasLayout planAtlasLayout(const MeshStore& mesh, double pixelAngle, const AtlasLimits& limits) {
  const int count = static_cast<int>(mesh.faces.size());
  std::vector<RectangleSize> sizes;
  sizes.reserve(static_cast<std::size_t>(std::max(count, 0)));
  for (int r = 0; r < count; ++r) sizes.push_back(measureRectangle(mesh, r));

  const int maxSide = std::max(limits.maxSide, 2 * kAtlasGutter + 1);
  const int mostTexels = maxSide - 2 * kAtlasGutter;
  AtlasLayout layout;
  layout.patches.assign(sizes.size(), AtlasPatch{0, 0, 1, 1});
  if (sizes.empty()) return layout;

  double scale = 1.0;
  for (int attempt = 0; attempt < 200; ++attempt) {
    long long texels = 0;
    bool allMinimal = true;
    int widest = 0;
    for (std::size_t r = 0; r < sizes.size(); ++r) {
      // A surface through the origin would get infinitely fine texels; a
      // millimetre-scale floor keeps its patch finite.
      const double side = std::max(sizes[r].nearest, 1e-3) * pixelAngle * scale;
      AtlasPatch& p = layout.patches[r];
      p.width = texelCount(sizes[r].edgeU, side, mostTexels);
      p.height = texelCount(sizes[r].edgeV, side, mostTexels);
      allMinimal = allMinimal && p.width == 1 && p.height == 1;
      widest = std::max(widest, p.width + 2 * kAtlasGutter);
      texels += static_cast<long long>(p.width + 2 * kAtlasGutter) * (p.height + 2 * kAtlasGutter);
    }
    if (limits.maxTexels > 0 && texels > limits.maxTexels && !allMinimal) {
      scale *= std::max(1.01, std::sqrt(static_cast<double>(texels) / limits.maxTexels));
      continue;
    }
    // About as wide as the atlas is tall, widened while too tall.
    int width = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(texels)) * 1.05));
    width = std::min(maxSide, std::max(width, widest));
    long long height = pack(layout.patches, width);
    while (height > maxSide && width < maxSide) {
      width = std::min(maxSide, width + width / 4 + 1);
      height = pack(layout.patches, width);
    }
    if (height >= 1 && height <= maxSide) {
      layout.width = width;
      layout.height = static_cast<int>(height);
      layout.texelScale = scale;
      return layout;
    }
    if (allMinimal) break;
    scale *= 1.1;
  }
  throw Error("Cannot fit the texture atlas of " + std::to_string(sizes.size()) +
              " rectangles into " + std::to_string(maxSide) + " x " + std::to_string(maxSide) +
              " texels");
}

}  // namespace roombox
