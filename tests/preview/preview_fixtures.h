#pragma once

// A small reconstruction made by hand for the preview tests: the room box
// x -3..3, y -2..2, z -1.5..1.5 with its four walls, floor and ceiling, and
// boxes added by the test, grouped and described as mesh generation and
// the scene model group and describe them.
#include "roombox/reconstruct_room.h"
#include "roombox/scene_model.h"

#include <vector>

namespace roombox {

constexpr int kBed = 1;
constexpr int kChair = 4;
constexpr int kTable = 10;
constexpr int kWallCategory = 13;

inline Plane roomPlane(float type, float position, float uMin, float uMax, float vMin, float vMax) {
  return Plane{1.0f, type, position, uMin, uMax, vMin, vMax, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
}

// The room with walls, floor and ceiling only; boxes come with addBox.
inline Reconstruction handMadeRoom() {
  Reconstruction room;
  room.room.roomMin[0] = -3.0f;
  room.room.roomMax[0] = 3.0f;
  room.room.roomMin[1] = -2.0f;
  room.room.roomMax[1] = 2.0f;
  room.room.roomMin[2] = -1.5f;
  room.room.roomMax[2] = 1.5f;
  room.planes.planes = {
      roomPlane(7.0f, 3.0f, -2.0f, 2.0f, -1.5f, 1.5f),   // wall x = 3
      roomPlane(7.0f, -3.0f, -2.0f, 2.0f, -1.5f, 1.5f),  // wall x = -3
      roomPlane(9.0f, 2.0f, -3.0f, 3.0f, -1.5f, 1.5f),   // wall y = 2
      roomPlane(9.0f, -2.0f, -3.0f, 3.0f, -1.5f, 1.5f),  // wall y = -2
      roomPlane(8.0f, -1.5f, -3.0f, 3.0f, -2.0f, 2.0f),  // floor
      roomPlane(8.0f, 1.5f, -3.0f, 3.0f, -2.0f, 2.0f),   // ceiling
  };
  const int categories[6] = {kWallCategory, kWallCategory, kWallCategory, kWallCategory, 5, 3};
  const int instances[6] = {1, 2, 3, 4, 1, 1};
  for (int i = 0; i < 6; ++i) {
    room.rectangles.groups.push_back(
        RectangleGroup{categories[i], instances[i], i, i, GroupSource::kPlane, i});
    room.rectangles.groupLabels.push_back(GroupLabel{categories[i], {}});
  }
  room.scene = buildSceneModel(room.planes.planes, room.cuboids, room.rectangles);
  return room;
}

// Adds a box of `category` with the given bounds and face switches as the
// next group of its category, numbered `instance`.
inline void addBox(Reconstruction& room, int category, int instance, float minX, float maxX,
                   float minY, float maxY, float minZ, float maxZ,
                   CuboidFaces faces = CuboidFaces{1, 1, 1, 1, 1, 1}) {
  room.cuboids.push_back(
      Cuboid{1.0f, minX, maxX, minY, maxY, minZ, maxZ, static_cast<float>(category), 0.0f});
  room.cuboidFaces.push_back(faces);
  const int index = static_cast<int>(room.cuboids.size()) - 1;
  room.rectangles.groups.push_back(
      RectangleGroup{category, instance, 0, -1, GroupSource::kCuboid, index});
  room.rectangles.groupLabels.push_back(GroupLabel{category, {}});
  room.scene = buildSceneModel(room.planes.planes, room.cuboids, room.rectangles);
}

}  // namespace roombox
