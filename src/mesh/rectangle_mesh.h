#pragma once

#include "roombox/cuboid.h"
#include "roombox/mesh_store.h"
#include "roombox/plane.h"

#include <opencv2/core.hpp>

#include <vector>

namespace roombox {

// A pixel of the panorama: row 0 is the top (+z pole), col 0 is the +x
// direction.
struct PanoramaPixel {
  int row;
  int col;
};

// Returns the pixel of the equirectangular panorama of width x height
// pixels, centred at the origin, that the direction
// from the origin to (x, y, z) hits, clamped into the image. The polar angle
// from +z selects the row, the azimuth atan2(-y, x) taken into [0, 2 pi)
// the column. The point at the origin maps to row 0; an undefined angle
// (NaN) gives row 0 or column 0. An image without pixels gives (0, 0).
PanoramaPixel mapToPanorama(float x, float y, float z, int width, int height);

// Decodes a material code carried in a float field into flags: out[k]
// (k = 1..11) is bit k of the code, out[0] is set to 0 (bit 0 is ignored).
// The code is the float truncated toward zero after clamping to the int
// range (NaN counts as 0). A negative code yields flags of 0 or -1, so no
// material counts as present.
void decodeMaterials(float material, int out[12]);

// Appends one rectangle to mesh for a room plane (type 7 wall x = position,
// 9 wall y = position, 8 floor or ceiling z = position): 4 vertices and one
// face after the ones it holds, wound so that the quad's
// right-hand normal points toward the origin. Vertex colours come from the
// plane's own category, texture coordinates from the panorama
// (storeMeshVertex). A type that truncates to none of 7, 8, 9 appends nothing.
void emitPlaneRectangle(const Plane& plane, const cv::Mat& panorama, int viewCount,
                        MeshStore& mesh);

// Appends a box to mesh: its 8 corners as vertices n+0..7, n the vertex
// count before (corner 0 = (minX, minY, minZ), 1 = (maxX, minY, minZ),
// 2 = (maxX, minY, maxZ), 3 = (minX, minY, maxZ), 4..7 the same at maxY),
// then one face per face shown in `shown`, in the order minY, maxY, minX, maxZ, maxX,
// minZ, each wound with its right-hand normal pointing out of the box.
// Colours come from the box's category, texture coordinates from the
// panorama (storeMeshVertex).
void emitCuboidRectangles(const Cuboid& box, const CuboidFaces& shown, const cv::Mat& panorama,
                          int viewCount, MeshStore& mesh);

// Builds the rectangle mesh of the room: one rectangle per plane of type 7,
// 8 or 9 (in plane order, whether active or not), then 8 vertices and one
// rectangle per shown face (cuboidFaces, one record per box) for every
// cuboid of kind 1.0 (in cuboid order). Each emitted plane or cuboid gets
// one group (category, 1-based instance number within its category shared
// by planes and cuboids, range of rectangles, and its source: the plane's or
// the box's index) and one label (category and material flags), in emission
// order. Categories: type 7 and 9 Wall (13); type 8 Ceiling (3) above z = 0,
// otherwise Floor (5); cuboids their own category. Texture coordinates and
// vertex alpha come from the panorama, with viewCount bands of extra views
// below it in the merged texture. The stores are reserved for exactly the
// vertices and rectangles the room needs.
RectangleMesh generateRectangleMesh(const std::vector<Plane>& planes,
                                    const std::vector<Cuboid>& cuboids,
                                    const std::vector<CuboidFaces>& cuboidFaces,
                                    const cv::Mat& panorama, int viewCount);

}  // namespace roombox
