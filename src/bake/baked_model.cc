#include "bake/baked_model.h"

#include "common/image_codecs.h"
#include "roombox/error.h"

#include <opencv2/imgcodecs.hpp>

#include <cmath>

namespace roombox {

std::vector<unsigned char> encodeAtlas(const BakedAtlas& atlas) {
  std::vector<unsigned char> bytes;
  const std::vector<int> parameters = {cv::IMWRITE_JPEG_QUALITY, 92};
  if (atlas.image.empty() || !encodeImage(kAtlasExtension, atlas.image, bytes, parameters)) {
    throw Error("Cannot encode the texture atlas");
  }
  return bytes;
}

void faceNormal(const double c[4][3], double normal[3]) {
  double u[3], v[3];
  for (int a = 0; a < 3; ++a) {
    u[a] = c[1][a] - c[0][a];
    v[a] = c[2][a] - c[0][a];
  }
  const double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                       u[0] * v[1] - u[1] * v[0]};
  const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  if (!(length > 0)) {
    normal[0] = 0;
    normal[1] = 0;
    normal[2] = 1;
    return;
  }
  for (int a = 0; a < 3; ++a) normal[a] = n[a] / length;
}

void patchCorners(const AtlasPatch& p, double u[4], double v[4]) {
  const double left = p.x;
  const double right = static_cast<double>(p.x + p.width);
  const double top = p.y;
  const double bottom = static_cast<double>(p.y + p.height);
  u[0] = left;
  u[1] = right;
  u[2] = right;
  u[3] = left;
  v[0] = top;
  v[1] = top;
  v[2] = bottom;
  v[3] = bottom;
}

}  // namespace roombox
