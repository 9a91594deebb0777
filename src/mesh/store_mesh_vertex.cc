#include "mesh/store_mesh_vertex.h"

#include "roombox/categories.h"
#include "mesh/category_palette.h"
#include "mesh/map_to_panorama.h"

namespace roombox {

namespace {

// True when the panorama's blue byte one pixel right of (row, col) is 0.
// Reads nothing when the pixel lies outside the loaded image or the image is
// not 8-bit 3-channel.
bool blackRightOf(const cv::Mat& panorama, int row, int col) {
  if (panorama.type() != CV_8UC3 || row < 0 || row >= panorama.rows || col < 0 ||
      col >= panorama.cols) {
    return false;
  }
  const int right = col + 1 < panorama.cols ? col + 1 : 0;
  return panorama.ptr<unsigned char>(row)[3 * right] == 0;
}

}  // namespace

void storeMeshVertex(int index, float x, float y, float z, int colourIndex,
                     const cv::Mat& panorama, int viewCount, MeshStore& mesh) {
  if (index < 0) return;
  const std::size_t size = static_cast<std::size_t>(index) + 1;
  mesh.vertices.resize(size);
  mesh.colours.resize(size);
  mesh.texCoords.resize(size);
  mesh.vertexAlpha.resize(size, 255);

  mesh.vertices[index] = MeshPoint{x, y, z};

  const int width = panorama.cols;
  const int height = panorama.rows;
  const PanoramaPixel pixel = mapToPanorama(x, y, z, width, height);
  TexCoord tex{0.0f, 0.0f};
  if (width > 0 && height > 0) {
    const double views = viewCount;
    tex.u = static_cast<float>(static_cast<double>(pixel.col) / width);
    tex.v = static_cast<float>(static_cast<double>(height - pixel.row - 1) / height / (views + 1) +
                               views / (views + 1));
  }
  mesh.texCoords[index] = tex;

  const int c = colourIndex >= 0 && colourIndex < kCategoryCount ? colourIndex : 0;
  mesh.colours[index] = MeshColour{static_cast<float>(CategoryPalette[c][0]),
                                   static_cast<float>(CategoryPalette[c][1]),
                                   static_cast<float>(CategoryPalette[c][2])};

  mesh.vertexAlpha[index] = blackRightOf(panorama, pixel.row, pixel.col) ? 0 : 255;
}

}  // namespace roombox
