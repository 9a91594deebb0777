#include "bake/atlas_fill.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace roombox {

namespace {

// One level of the pyramid: per cell the colour sum of its visible texels
// divided by the cell's texel count (b, g, r) and the visible fraction (w).
struct Level {
  int width = 0;
  int height = 0;
  std::vector<cv::Vec4f> cells;
  cv::Vec4f& at(int x, int y) { return cells[static_cast<std::size_t>(y) * width + x]; }
};

// The colour of `final` (resolved colours of a level) at continuous cell
// position (x, y), cell centres at whole numbers, held within the level.
cv::Vec3f bilinear(const Level& level, const std::vector<cv::Vec3f>& final, float x, float y) {
  x = std::clamp(x, 0.0f, static_cast<float>(level.width - 1));
  y = std::clamp(y, 0.0f, static_cast<float>(level.height - 1));
  const int x0 = static_cast<int>(x);
  const int y0 = static_cast<int>(y);
  const int x1 = std::min(x0 + 1, level.width - 1);
  const int y1 = std::min(y0 + 1, level.height - 1);
  const float fx = x - x0;
  const float fy = y - y0;
  const auto cell = [&](int cx, int cy) {
    return final[static_cast<std::size_t>(cy) * level.width + cx];
  };
  return cell(x0, y0) * ((1 - fx) * (1 - fy)) + cell(x1, y0) * (fx * (1 - fy)) +
         cell(x0, y1) * ((1 - fx) * fy) + cell(x1, y1) * (fx * fy);
}

}  // namespace

bool fillFromVisible(cv::Mat& patch, const cv::Mat& mask) {
  const int width = patch.cols;
  const int height = patch.rows;
  if (width <= 0 || height <= 0) return false;
  // Large patches start from blocks of 4 x 4 texels, which keeps the memory
  // of the pyramid at a sixteenth of the patch.
  const int shift = static_cast<long long>(width) * height > 65536 ? 2 : 0;
  const int block = 1 << shift;  // a power of two: texel to block by a shift, not a division
  const float blocksPerTexel = 1.0f / static_cast<float>(block);

  std::vector<Level> levels(1);
  Level& base = levels[0];
  base.width = (width + block - 1) / block;
  base.height = (height + block - 1) / block;
  base.cells.assign(static_cast<std::size_t>(base.width) * base.height, cv::Vec4f(0, 0, 0, 0));
  long long visible = 0;
  for (int y = 0; y < height; ++y) {
    const unsigned char* pixel = patch.ptr<unsigned char>(y);
    const unsigned char* hole = mask.ptr<unsigned char>(y);
    for (int x = 0; x < width; ++x) {
      if (hole[x]) continue;
      cv::Vec4f& cell = base.at(x >> shift, y >> shift);
      cell[0] += pixel[3 * x];
      cell[1] += pixel[3 * x + 1];
      cell[2] += pixel[3 * x + 2];
      cell[3] += 1;
      ++visible;
    }
  }
  if (visible == 0) return false;
  const float perCell = static_cast<float>(block * block);
  for (cv::Vec4f& cell : base.cells) cell /= perCell;

  // Coarser levels: each cell the mean of its (up to) four children.
  while (levels.back().width > 1 || levels.back().height > 1) {
    const Level& fine = levels.back();
    Level coarse;
    coarse.width = (fine.width + 1) / 2;
    coarse.height = (fine.height + 1) / 2;
    coarse.cells.assign(static_cast<std::size_t>(coarse.width) * coarse.height,
                        cv::Vec4f(0, 0, 0, 0));
    for (int y = 0; y < coarse.height; ++y) {
      for (int x = 0; x < coarse.width; ++x) {
        cv::Vec4f sum(0, 0, 0, 0);
        int children = 0;
        for (int dy = 0; dy < 2; ++dy) {
          for (int dx = 0; dx < 2; ++dx) {
            const int fx = 2 * x + dx;
            const int fy = 2 * y + dy;
            if (fx >= fine.width || fy >= fine.height) continue;
            sum += fine.cells[static_cast<std::size_t>(fy) * fine.width + fx];
            ++children;
          }
        }
        coarse.at(x, y) = sum / static_cast<float>(children);
      }
    }
    levels.push_back(std::move(coarse));
  }

  // Resolve from the top: a cell with visible texels blends its own mean
  // (by its visible fraction) with the coarser level, an empty cell takes
  // the coarser level alone.
  std::vector<cv::Vec3f> coarser;
  for (int k = static_cast<int>(levels.size()) - 1; k >= 0; --k) {
    const Level& level = levels[k];
    std::vector<cv::Vec3f> final(level.cells.size());
    for (int y = 0; y < level.height; ++y) {
      for (int x = 0; x < level.width; ++x) {
        const cv::Vec4f& cell = level.cells[static_cast<std::size_t>(y) * level.width + x];
        cv::Vec3f below(0, 0, 0);
        if (k + 1 < static_cast<int>(levels.size())) {
          below = bilinear(levels[k + 1], coarser, (x + 0.5f) / 2 - 0.5f, (y + 0.5f) / 2 - 0.5f);
        }
        if (cell[3] > 0) {
          const cv::Vec3f own(cell[0] / cell[3], cell[1] / cell[3], cell[2] / cell[3]);
          const float alpha = k + 1 < static_cast<int>(levels.size()) ? std::min(1.0f, cell[3]) : 1.0f;
          final[static_cast<std::size_t>(y) * level.width + x] = own * alpha + below * (1 - alpha);
        } else {
          final[static_cast<std::size_t>(y) * level.width + x] = below;
        }
      }
    }
    coarser.swap(final);
  }

  // The masked texels, interpolated bilinearly in the finest level: down
  // the rows once per texel row (into `across`, when the row has a masked
  // texel), then along the row per texel.
  const Level& finest = levels[0];
  std::vector<cv::Vec3f> across(static_cast<std::size_t>(finest.width));
  // Per texel column: the two cells it lies between and the right one's
  // weight, the same on every row.
  std::vector<int> left(static_cast<std::size_t>(width));
  std::vector<int> right(static_cast<std::size_t>(width));
  std::vector<float> rightWeight(static_cast<std::size_t>(width));
  for (int x = 0; x < width; ++x) {
    const float cx = std::clamp((x + 0.5f) * blocksPerTexel - 0.5f, 0.0f,
                                static_cast<float>(finest.width - 1));
    const int x0 = static_cast<int>(cx);
    left[static_cast<std::size_t>(x)] = x0;
    right[static_cast<std::size_t>(x)] = std::min(x0 + 1, finest.width - 1);
    rightWeight[static_cast<std::size_t>(x)] = cx - static_cast<float>(x0);
  }
  for (int y = 0; y < height; ++y) {
    unsigned char* pixel = patch.ptr<unsigned char>(y);
    const unsigned char* hole = mask.ptr<unsigned char>(y);
    bool rowReady = false;
    for (int x = 0; x < width; ++x) {
      if (!hole[x]) continue;
      if (!rowReady) {
        const float cy = std::clamp((y + 0.5f) * blocksPerTexel - 0.5f, 0.0f,
                                    static_cast<float>(finest.height - 1));
        const int y0 = static_cast<int>(cy);
        const int y1 = std::min(y0 + 1, finest.height - 1);
        const float fy = cy - static_cast<float>(y0);
        const cv::Vec3f* upper = &coarser[static_cast<std::size_t>(y0) * finest.width];
        const cv::Vec3f* lower = &coarser[static_cast<std::size_t>(y1) * finest.width];
        for (int cx = 0; cx < finest.width; ++cx) {
          across[static_cast<std::size_t>(cx)] = upper[cx] * (1 - fy) + lower[cx] * fy;
        }
        rowReady = true;
      }
      const std::size_t column = static_cast<std::size_t>(x);
      const float fx = rightWeight[column];
      const cv::Vec3f c = across[static_cast<std::size_t>(left[column])] * (1 - fx) +
                          across[static_cast<std::size_t>(right[column])] * fx;
      for (int ch = 0; ch < 3; ++ch) {
        pixel[3 * x + ch] = static_cast<unsigned char>(std::clamp(c[ch] + 0.5f, 0.0f, 255.0f));
      }
    }
  }
  return true;
}

void fillGutter(const AtlasPatch& patch, cv::Mat& atlas) {
  const int g = kAtlasGutter;
  // Left and right along the patch's own rows.
  for (int y = patch.y; y < patch.y + patch.height; ++y) {
    unsigned char* row = atlas.ptr<unsigned char>(y);
    const unsigned char* first = row + 3 * patch.x;
    const unsigned char* last = row + 3 * (patch.x + patch.width - 1);
    for (int k = 1; k <= g; ++k) {
      std::memcpy(row + 3 * (patch.x - k), first, 3);
      std::memcpy(row + 3 * (patch.x + patch.width - 1 + k), last, 3);
    }
  }
  // Whole rows above and below, gutter columns included.
  const std::size_t bytes = static_cast<std::size_t>(3 * (patch.width + 2 * g));
  const unsigned char* top = atlas.ptr<unsigned char>(patch.y) + 3 * (patch.x - g);
  const unsigned char* bottom =
      atlas.ptr<unsigned char>(patch.y + patch.height - 1) + 3 * (patch.x - g);
  for (int k = 1; k <= g; ++k) {
    std::memcpy(atlas.ptr<unsigned char>(patch.y - k) + 3 * (patch.x - g), top, bytes);
    std::memcpy(atlas.ptr<unsigned char>(patch.y + patch.height - 1 + k) + 3 * (patch.x - g),
                bottom, bytes);
  }
}

}  // namespace roombox
