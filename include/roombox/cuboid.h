#pragma once

namespace roombox {

// One axis-aligned box grown from an object plane. kind is 1.0 for every
// generated box; category and material are copied from the seed plane.
struct Cuboid {
  float kind;
  float minX;
  float maxX;
  float minY;
  float maxY;
  float minZ;
  float maxZ;
  float category;
  float material;
};

// One shown-switch per box face: 1 shown, 0 suppressed.
struct CuboidFaces {
  int minXShown;
  int maxXShown;
  int minYShown;
  int maxYShown;
  int minZShown;
  int maxZShown;
};

// The room as one box: roomMin and roomMax hold x, y, z.
struct RoomBox {
  float roomMin[3] = {1000000.0f, 1000000.0f, 1000000.0f};
  float roomMax[3] = {-1000000.0f, -1000000.0f, -1000000.0f};
};

}  // namespace roombox
