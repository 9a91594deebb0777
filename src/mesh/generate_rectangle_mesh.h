#pragma once

// Builds the rectangle mesh of the room: one rectangle per plane of type 7,
// 8 or 9 (in plane order, whether active or not), then 8 vertices and one
// rectangle per shown face for every cuboid of kind 1.0 (in cuboid order).
// Each emitted plane or cuboid gets group entry groupCount in
// sceneStore.groups (category, 1-based instance number within its category
// shared by planes and cuboids, range of rectangles) and the same entry of
// groupLabels (category and material flags); both vectors grow when
// groupCount reaches their size. Categories: type 7 and 9 Wall (13); type 8
// Ceiling (3) above z = 0, otherwise Floor (5); cuboids their own category.
void generateRectangleMesh();
