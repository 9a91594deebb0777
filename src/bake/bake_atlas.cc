#include "roombox/bake_atlas.h"

#include "common/cores.h"
#include "common/pi.h"
#include "common/plane_types.h"

#include "bake/atlas_fill.h"
#include "bake/atlas_layout.h"
#include "bake/occlusion.h"
#include "common/parallel.h"
#include "bake/sample_bilinear.h"
#include "common/panorama_projection.h"
#include "roombox/error.h"
#include "roombox/scene_model.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace roombox {

namespace {

// Rows of one patch baked as one piece of work.
constexpr int kRowsPerTask = 16;

// Widest occluder map: finer than this it costs more than it gains, as every
// texel looks at the map's pixels around its own direction anyway.
constexpr int kMaxOccluderMapWidth = 2048;

// Texels whose segment passes this many panorama pixels (as an angle) from
// another box count as hidden: the panorama blends the box into them.
constexpr double kFringePixels = 1.5;

// What every piece of the bake reads, in the bake's frame (bakeFrameScale).
struct BakeJob {
  const MeshStore& mesh;
  const std::vector<Cuboid>& boxes;
  const cv::Mat& panorama;
  const cv::Mat& occluders;
  const cv::Mat& candidates;  // occluderCandidates(occluders)
  const std::vector<int>& ownBox;  // per rectangle: its box's first copy's index, or -1
  double fringeAngle;
  BakedAtlas& atlas;
};

// Texels of one row whose directions are computed at once.
constexpr int kChunk = 64;

// True when box b, grown by the fringe unless it is own (the box whose
// rectangle holds the point; -1: none), hides the end point of segment s
// from the origin.
bool hides(const BakeJob& job, int b, int own, const OriginSegment& s) {
  // A box's own faces are hidden only by the box itself (its far faces),
  // without the fringe around it.
  const double margin = b == own ? 0.0 : job.fringeAngle * s.length;
  return segmentEntersBox(job.boxes[static_cast<std::size_t>(b)], margin, s);
}

// True when one of the boxes met first around the direction of the end of
// segment s (occluder map pixel (mr, mc)) hides that end from the origin.
bool hiddenByAny(const BakeJob& job, int own, int mr, int mc, const OriginSegment& s) {
  const int mapWidth = job.occluders.cols;
  const int mapHeight = job.occluders.rows;
  int seen[9];
  int count = 0;
  for (int dr = -1; dr <= 1; ++dr) {
    const int row = std::clamp(mr + dr, 0, mapHeight - 1);
    const int* ids = job.occluders.ptr<int>(row);
    for (int dc = -1; dc <= 1; ++dc) {
      int col = mc + dc;
      if (col < 0) col += mapWidth;
      if (col >= mapWidth) col -= mapWidth;
      const int id = ids[col];
      if (id < 0 || std::find(seen, seen + count, id) != seen + count) continue;
      seen[count++] = id;
    }
  }
  for (int k = 0; k < count; ++k) {
    if (hides(job, seen[k], own, s)) return true;
  }
  return false;
}

// Bakes rows [row0, row1) of the patch of rectangle r: samples the panorama
// in every texel's direction and marks the texels a box hides. The point
// moves by a fixed step along a row, so a row's directions are computed a
// chunk at a time from its start and step; only texels whose direction has
// a box within a pixel of the occluder map get the exact test, four at once
// where four texels in a row lie before the same single box.
void bakeRows(const BakeJob& job, int r, int row0, int row1) {
  const AtlasPatch& patch = job.atlas.patches[static_cast<std::size_t>(r)];
  double c[4][3];
  rectangleCorners(job.mesh, r, c);
  const int width = job.panorama.cols;
  const int height = job.panorama.rows;
  const int mapWidth = job.occluders.cols;
  const int mapHeight = job.occluders.rows;
  const int own = job.ownBox[static_cast<std::size_t>(r)];
  double stepU[3], stepV[3];
  float stepUf[3];
  for (int a = 0; a < 3; ++a) {
    stepU[a] = (c[1][a] - c[0][a]) / patch.width;
    stepV[a] = (c[3][a] - c[0][a]) / patch.height;
    stepUf[a] = static_cast<float>(stepU[a]);
  }
  // Exact for the usual sizes, powers of two.
  const float mapColumnsPerColumn = static_cast<float>(mapWidth) / static_cast<float>(width);
  const float mapRowsPerRow = static_cast<float>(mapHeight) / static_cast<float>(height);
  const int* candidates = job.candidates.ptr<int>(0);  // made continuous
  const float fringeAngle = static_cast<float>(job.fringeAngle);
  float px[kChunk], py[kChunk];
  int mapColumn[kChunk], mapRow[kChunk], mapPixel[kChunk];
  // Column blocks of the rows in turn: the rows of one block look at nearly
  // the same panorama pixels, which then stay in the cache from one row to
  // the next.
  for (int i0 = 0; i0 < patch.width; i0 += kChunk) {
    const int count = std::min(kChunk, patch.width - i0);
    for (int j = row0; j < row1; ++j) {
      unsigned char* out = job.atlas.image.ptr<unsigned char>(patch.y + j) + 3 * patch.x;
      unsigned char* hidden = job.atlas.filled.ptr<unsigned char>(patch.y + j) + patch.x;
      float start[3];
      for (int a = 0; a < 3; ++a) {
        start[a] = static_cast<float>(c[0][a] + stepU[a] * (i0 + 0.5) + stepV[a] * (j + 0.5));
      }
      panoramaPositions(start, stepUf, count, width, height, px, py);
      sampleBilinear(job.panorama, px, py, count, out + 3 * i0);
      // The occluder map pixel of every direction (a loop of arithmetic
      // and selects, vectorised): the column wraps, the row is held within
      // the map (as the neighbours looked at are).
      for (int k = 0; k < count; ++k) {
        const int mc = static_cast<int>((px[k] + 0.5f) * mapColumnsPerColumn);
        const int mr = static_cast<int>((py[k] + 0.5f) * mapRowsPerRow);
        const int nearRow = mr < 0 ? 0 : (mr >= mapHeight ? mapHeight - 1 : mr);
        int nearCol = mc >= mapWidth ? mc - mapWidth : (mc < 0 ? 0 : mc);
        nearCol = nearCol >= mapWidth ? mapWidth - 1 : nearCol;
        mapColumn[k] = mc;
        mapRow[k] = mr;
        mapPixel[k] = nearRow * mapWidth + nearCol;
      }
      for (int k = 0; k < count; ++k) {
        const int candidate = candidates[mapPixel[k]];
        if (candidate == -1) continue;
#if defined(__SSE2__)
        // Four texels in a row before the same single box: tested at once.
        if (candidate >= 0 && k + 4 <= count && candidates[mapPixel[k + 1]] == candidate &&
            candidates[mapPixel[k + 2]] == candidate && candidates[mapPixel[k + 3]] == candidate) {
          const int lanes = segmentsEnterBox(job.boxes[static_cast<std::size_t>(candidate)],
                                             candidate == own ? 0.0f : fringeAngle, start, stepUf,
                                             k);
          if (lanes >= 0) {
            for (int lane = 0; lane < 4; ++lane) {
              if (lanes & (1 << lane)) hidden[i0 + k + lane] = 255;
            }
            k += 3;
            continue;
          }
        }
#endif
        const int mc = mapColumn[k];
        const int mr = mapRow[k];
        const int i = i0 + k;
        double p[3];
        for (int a = 0; a < 3; ++a) p[a] = c[0][a] + stepU[a] * (i + 0.5) + stepV[a] * (j + 0.5);
        const OriginSegment s = originSegment(p);
        const bool isHidden = candidate == kSeveralOccluders ? hiddenByAny(job, own, mr, mc, s)
                                                             : hides(job, candidate, own, s);
        if (isHidden) hidden[i] = 255;
      }
    }
  }
}

// The power of two that brings the largest magnitude among the mesh's
// vertices and the boxes' bounds into [0.5, 1): the bake works in that
// frame, so that squares of coordinates never overflow a float and every
// length it compares (the nearest-distance floor of the layout, the
// zero-coordinate guard of the slab test) is a share of the room's size,
// whatever its unit. Multiplying by a power of two is exact, so the
// directions are those of the scene's own numbers. Throws Error naming the
// scene entry of a coordinate that is not a finite number.
double bakeFrameScale(const MeshStore& mesh, const std::vector<RectangleGroup>& groups,
                      const std::vector<Cuboid>& boxes) {
  double largest = 0;
  const auto refuse = [&groups](GroupSource source, int index) {
    std::string name = (source == GroupSource::kCuboid ? "box " : "rectangle ") +
                       std::to_string(index + 1);
    for (const RectangleGroup& group : groups) {
      const bool holds = source == GroupSource::kCuboid
                             ? group.source == source && group.sourceIndex == index
                             : group.firstRectangle <= index && index <= group.lastRectangle;
      if (holds) {
        name = sceneEntryName(group);
        break;
      }
    }
    throw Error("Cannot bake the texture atlas: " + name +
                " has coordinates that are not finite numbers");
  };
  const int rectangleCount = static_cast<int>(mesh.faces.size());
  for (int r = 0; r < rectangleCount; ++r) {
    double c[4][3];
    rectangleCorners(mesh, r, c);
    for (const auto& corner : c) {
      for (const double v : corner) {
        if (!std::isfinite(v)) refuse(GroupSource::kPlane, r);
        largest = std::max(largest, std::fabs(v));
      }
    }
  }
  for (std::size_t b = 0; b < boxes.size(); ++b) {
    const Cuboid& box = boxes[b];
    if (!isGrownBox(box)) continue;
    for (const float v : {box.minX, box.maxX, box.minY, box.maxY, box.minZ, box.maxZ}) {
      if (!std::isfinite(v)) refuse(GroupSource::kCuboid, static_cast<int>(b));
      largest = std::max(largest, static_cast<double>(std::fabs(v)));
    }
  }
  if (largest == 0) return 1;
  int exponent = 0;
  std::frexp(largest, &exponent);
  return std::ldexp(1.0, -exponent);
}

}  // namespace

BakedAtlas bakeAtlas(const MeshStore& rectangles, const std::vector<RectangleGroup>& groups,
                     const std::vector<Cuboid>& boxes, const cv::Mat& panorama,
                     const AtlasLimits& limits, int threads) {
  if (panorama.empty() || panorama.type() != CV_8UC3) {
    throw Error("Cannot bake the texture atlas: the panorama is not an 8-bit colour image");
  }
  // The mesh and the boxes in the bake's frame.
  const double scale = bakeFrameScale(rectangles, groups, boxes);
  MeshStore mesh = rectangles;
  for (MeshPoint& p : mesh.vertices) {
    p = MeshPoint{static_cast<float>(p.x * scale), static_cast<float>(p.y * scale),
                  static_cast<float>(p.z * scale)};
  }
  std::vector<Cuboid> scaledBoxes = boxes;
  for (Cuboid& box : scaledBoxes) {
    for (float* v : {&box.minX, &box.maxX, &box.minY, &box.maxY, &box.minZ, &box.maxZ}) {
      *v = static_cast<float>(*v * scale);
    }
  }
  AtlasLimits bounded = limits;
  if (bounded.maxTexels <= 0) {
    bounded.maxTexels = static_cast<long long>(panorama.cols) * panorama.rows;
  }
  const double pixelAngle = std::max(kPi / panorama.rows, 2 * kPi / panorama.cols);
  AtlasLayout layout = planAtlasLayout(mesh, pixelAngle, bounded);

  BakedAtlas atlas;
  atlas.patches = std::move(layout.patches);
  atlas.texelSize = layout.texelScale;
  const int patchCount = static_cast<int>(atlas.patches.size());
  if (threads <= 0) threads = usableCores();
  {
    // The occluder maps, made before the atlas so that the occluder map's
    // depths are gone by then, and dropped before the filling below needs
    // its memory.
    const int mapWidth = std::min(panorama.cols, kMaxOccluderMapWidth);
    const int mapHeight = std::max(
        1, static_cast<int>(static_cast<long long>(panorama.rows) * mapWidth / panorama.cols));
    const cv::Mat occluders = buildOccluderMap(scaledBoxes, mapWidth, mapHeight, threads);
    const cv::Mat candidates = occluderCandidates(occluders);

    // Cleared in bands on every thread: a page of a fresh atlas costs a
    // fault on first touch.
    atlas.image.create(std::max(layout.height, 1), std::max(layout.width, 1), CV_8UC3);
    atlas.filled.create(atlas.image.size(), CV_8UC1);
    const int bands = (atlas.image.rows + kRowsPerTask - 1) / kRowsPerTask;
    runParallel(threads, bands, [&atlas](int band) {
      const cv::Range rows(band * kRowsPerTask,
                           std::min(atlas.image.rows, (band + 1) * kRowsPerTask));
      atlas.image.rowRange(rows).setTo(cv::Scalar(0, 0, 0));
      atlas.filled.rowRange(rows).setTo(cv::Scalar(0));
    });
    if (patchCount == 0) return atlas;

    // A box's own faces are tested against the copy of it the map holds.
    const std::vector<int> first = occludingBoxes(scaledBoxes);
    std::vector<int> ownBox(atlas.patches.size(), -1);
    for (const RectangleGroup& group : groups) {
      if (group.source != GroupSource::kCuboid || group.sourceIndex < 0 ||
          static_cast<std::size_t>(group.sourceIndex) >= boxes.size()) {
        continue;
      }
      const int box = first[static_cast<std::size_t>(group.sourceIndex)];
      for (int r = std::max(group.firstRectangle, 0);
           r <= group.lastRectangle && r < patchCount; ++r) {
        ownBox[static_cast<std::size_t>(r)] = box >= 0 ? box : group.sourceIndex;
      }
    }
    const BakeJob job{mesh, scaledBoxes, panorama, occluders, candidates, ownBox,
                      kFringePixels * pixelAngle, atlas};

    // Sampling, split into pieces of a few rows so that one large patch (the
    // floor) keeps every thread busy.
    struct Task {
      int rectangle;
      int row0;
      int row1;
    };
    std::vector<Task> tasks;
    for (int r = 0; r < patchCount; ++r) {
      const int rows = atlas.patches[static_cast<std::size_t>(r)].height;
      for (int row = 0; row < rows; row += kRowsPerTask) {
        tasks.push_back(Task{r, row, std::min(rows, row + kRowsPerTask)});
      }
    }
    runParallel(threads, static_cast<int>(tasks.size()), [&job, &tasks](int t) {
      bakeRows(job, tasks[static_cast<std::size_t>(t)].rectangle,
               tasks[static_cast<std::size_t>(t)].row0, tasks[static_cast<std::size_t>(t)].row1);
    });
  }

  // Hidden texels filled from the visible ones of their patch, then the
  // gutters; largest patches first so that they do not end up last.
  std::vector<int> order(atlas.patches.size());
  for (int r = 0; r < patchCount; ++r) order[static_cast<std::size_t>(r)] = r;
  std::sort(order.begin(), order.end(), [&atlas](int a, int b) {
    const AtlasPatch& pa = atlas.patches[static_cast<std::size_t>(a)];
    const AtlasPatch& pb = atlas.patches[static_cast<std::size_t>(b)];
    return static_cast<long long>(pa.width) * pa.height >
           static_cast<long long>(pb.width) * pb.height;
  });
  runParallel(threads, patchCount, [&atlas, &order](int k) {
    const AtlasPatch& p = atlas.patches[static_cast<std::size_t>(order[static_cast<std::size_t>(k)])];
    const cv::Rect area(p.x, p.y, p.width, p.height);
    const cv::Mat mask = atlas.filled(area);
    if (cv::countNonZero(mask) > 0) {
      cv::Mat pixels = atlas.image(area);
      // A patch with nothing visible keeps what it sampled, unmarked.
      if (!fillFromVisible(pixels, mask)) atlas.filled(area).setTo(cv::Scalar(0));
    }
    fillGutter(p, atlas.image);
  });
  return atlas;
}

}  // namespace roombox
