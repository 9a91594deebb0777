#include "bake/panorama_position.h"

#include "common/pi.h"

#include "bake/approx_atan2.h"

#include <cmath>

namespace roombox {

void panoramaPositions(const float start[3], const float step[3], int count, int width,
                       int height, float* px, float* py) {
  constexpr float kPiF = static_cast<float>(kPi);
  const float columnsPerRadian = static_cast<float>(width) / (2 * kPiF);
  const float rowsPerRadian = static_cast<float>(height) / kPiF;
  for (int k = 0; k < count; ++k) {
    const float fk = static_cast<float>(k);
    const float x = start[0] + step[0] * fk;
    const float y = start[1] + step[1] * fk;
    const float z = start[2] + step[2] * fk;
    const float theta = approxAtan2(std::sqrt(x * x + y * y), z);
    float phi = approxAtan2(-y, x);
    phi = phi < 0 ? phi + 2 * kPiF : phi;
    px[k] = phi * columnsPerRadian - 0.5f;
    py[k] = theta * rowsPerRadian - 0.5f;
  }
}

}  // namespace roombox
