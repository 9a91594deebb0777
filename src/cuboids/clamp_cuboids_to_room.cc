#include "cuboids/clamp_cuboids_to_room.h"

namespace roombox {

std::vector<CuboidFaces> clampCuboidsToRoom(const RoomBox& room, std::vector<Cuboid>& cuboids) {
  const float* roomMin = room.roomMin;
  const float* roomMax = room.roomMax;
  std::vector<CuboidFaces> shown(cuboids.size(), CuboidFaces{1, 1, 1, 1, 1, 1});
  for (std::size_t k = 0; k < cuboids.size(); ++k) {
    Cuboid& box = cuboids[k];
    CuboidFaces& faces = shown[k];
    if (roomMin[0] >= box.minX) {
      box.minX = roomMin[0];
      faces.minXShown = 0;
    }
    if (roomMin[1] >= box.minY) {
      box.minY = roomMin[1];
      faces.minYShown = 0;
    }
    if (roomMin[2] >= box.minZ) {
      box.minZ = roomMin[2];
      faces.minZShown = 0;
    }
    if (roomMax[0] <= box.maxX) {
      box.maxX = roomMax[0];
      faces.maxXShown = 0;
    }
    if (roomMax[1] <= box.maxY) {
      box.maxY = roomMax[1];
      faces.maxYShown = 0;
    }
    if (roomMax[2] <= box.maxZ) {
      box.maxZ = roomMax[2];
      faces.maxZShown = 0;
    }
  }
  return shown;
}

}  // namespace roombox
