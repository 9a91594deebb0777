#pragma once

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
