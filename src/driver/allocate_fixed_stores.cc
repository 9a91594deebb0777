#include "driver/allocate_fixed_stores.h"

#include "driver/scene_store.h"

void allocateFixedStores() {
  MeshStore& mesh = sceneStore.mesh;
  mesh.vertexCapacity = kVertexCapacity;
  mesh.rectangleCapacity = kRectangleCapacity;
  mesh.vertices.reserve(kVertexCapacity);
  mesh.colours.reserve(kVertexCapacity);
  mesh.vertexAlpha.reserve(kVertexCapacity);
  mesh.texCoords.reserve(kVertexCapacity);
  mesh.faces.create(kRectangleCapacity, 8, CV_32SC1);

  sceneStore.equationSnapshot.reserve(kCuboidSlots);
  sceneStore.planeSnapshot.reserve(kCuboidSlots);
  sceneStore.cuboids.reserve(kCuboidSlots);
  sceneStore.cuboidFaces.reserve(kCuboidSlots);

  for (int& counter : sceneStore.categoryCounters) counter = 0;
}
