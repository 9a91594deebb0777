#pragma once

#include "roombox/cuboid.h"
#include "roombox/mesh_store.h"

#include <opencv2/core.hpp>

#include <vector>

namespace roombox {

// Where one rectangle of the mesh lies in the atlas: its patch of width x
// height texels with the top-left texel at (x, y). Texel (i, j) of the patch
// (atlas pixel (x + i, y + j)) shows the point
//   c0 + (c1 - c0) (i + 0.5) / width + (c3 - c0) (j + 0.5) / height
// of the rectangle with corners c0..c3 (the order of its face), so that
// corner c0 has atlas pixel coordinate (x, y), c1 (x + width, y), c2
// (x + width, y + height) and c3 (x, y + height). Around the patch lies a
// gutter of kAtlasGutter texels repeating its edge texels.
struct AtlasPatch {
  int x;
  int y;
  int width;
  int height;
};

// Texels of gutter around every patch.
constexpr int kAtlasGutter = 4;

// Limits of an atlas: its texels (patches and gutters) at most maxTexels
// (0: the panorama's pixel count), its sides at most maxSide.
struct AtlasLimits {
  long long maxTexels = 0;
  int maxSide = 8192;
};

// A baked texture atlas of a rectangle mesh.
struct BakedAtlas {
  cv::Mat image;                    // 8-bit BGR, every texel of every patch and gutter set
  std::vector<AtlasPatch> patches;  // one per face of the mesh, in its order
  cv::Mat filled;                   // 8-bit, image's size: 255 where a texel was occluded and filled
  double texelSize = 0;             // scene units per texel where a surface is nearest the origin,
                                    // relative to the panorama's angular resolution (1 = one texel
                                    // per panorama pixel there, larger = coarser)
};

// Bakes the panorama (8-bit BGR equirectangular image seen from the origin:
// column 0 towards +x, columns running towards -y, row 0 towards +z, pixel
// (row, col) centred on the polar angle (row + 0.5) pi / rows and azimuth
// (col + 0.5) 2 pi / cols) onto every rectangle of mesh, whose groups (the
// rectangle mesh's: they name the rectangles in messages, and their box
// groups index boxes, the reconstruction's cuboids) tell which box each
// rectangle belongs to: each rectangle gets a patch whose texels show the
// panorama sampled bilinearly (wrapping across column 0) in the direction of
// the texel's point from the origin. A patch
// has about one texel per panorama pixel where its rectangle is nearest the
// origin, all patches made coarser evenly when the atlas would exceed limits.
// A texel whose point is hidden from the origin by one of boxes (the segment
// from the origin to it enters the box first) shows that box in the
// panorama; it is marked in `filled` and filled from the visible texels of
// its patch around it (a patch with no visible texel keeps what it sampled).
// So are texels whose segment passes within about 1.5 panorama pixels of
// another box, where the panorama blends the box into the surface. A box
// that holds the origin hides nothing. Runs on `threads` threads (0:
// as many as the machine has cores). Throws Error for a panorama that is
// empty or not 8-bit BGR, or a mesh that cannot fit the limits.
BakedAtlas bakeAtlas(const MeshStore& mesh, const std::vector<RectangleGroup>& groups,
                     const std::vector<Cuboid>& boxes, const cv::Mat& panorama,
                     const AtlasLimits& limits = AtlasLimits{}, int threads = 0);

}  // namespace roombox
