#pragma once

#include "driver/scene_store.h"

#include <opencv2/core.hpp>

// Clears the store and gives it a width x height panorama with every byte 200.
inline void resetWithPanorama(int width, int height) {
  sceneStore = SceneStore{};
  sceneStore.panorama = cv::Mat(height, width, CV_8UC3, cv::Scalar(200, 200, 200));
  sceneStore.panoramaWidth = width;
  sceneStore.panoramaHeight = height;
}

// Appends a plane with the given type, position, u and v ranges, category.
inline void addPlane(float type, float position, float uMin, float uMax, float vMin, float vMax,
                     float category, float material = 0.0f) {
  sceneStore.planes.push_back(Plane{1, type, position, uMin, uMax, vMin, vMax, 0, 0, 0, category,
                                    material});
  sceneStore.planeCount = static_cast<int>(sceneStore.planes.size());
}

// Appends a cuboid with the given bounds, category and face switches.
inline void addCuboid(float minX, float maxX, float minY, float maxY, float minZ, float maxZ,
                      float category, CuboidFaces shown, float material = 0, float kind = 1) {
  sceneStore.cuboids.push_back(Cuboid{kind, minX, maxX, minY, maxY, minZ, maxZ, category, material});
  sceneStore.cuboidFaces.push_back(shown);
  sceneStore.cuboidCount = static_cast<int>(sceneStore.cuboids.size());
}

// The four vertex indices of rectangle row.
inline cv::Vec4i faceRow(int row) { return sceneStore.mesh.faces.at<cv::Vec4i>(row, 0); }
