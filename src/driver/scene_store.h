#pragma once

#include "cuboids/cuboid.h"
#include "input/plane.h"
#include "mesh/mesh_store.h"
#include "planes/edge_links.h"
#include "scene/json_writer.h"

#include <opencv2/core.hpp>

#include <string>
#include <vector>

// The process-wide set of containers through which all stages exchange data.
// There is exactly one instance, sceneStore; stages read and write its fields
// directly in the order the run driver imposes.
struct SceneStore {
  // Run settings, from the command line.
  std::string basePath;
  std::string planeInfoFile;
  std::string outputPrefix;
  int saveOption = 0;
  std::string textureFileName;  // outputPrefix + "-texture.png", no base path

  // View configuration: fixed values of the system. A run never reads an
  // extra view (viewCount 0); tests may set other values.
  int viewCount = 0;
  std::string viewPlaneFiles[3] = {"", "", ""};
  std::string affineFileNames[4] = {"Affine13.txt", "Affine53.txt", "Affine42.txt",
                                    "Affine52.txt"};
  std::string textureNames[5] = {"shifted_t1.png", "shifted_t5.png", "shifted_t4.png",
                                 "shifted_t5.png", "shifted_t.png"};
  float viewTransforms[4][3][4] = {};
  int viewPlaneCounts[4] = {};
  float viewResolutions[4] = {};
  int viewFirstPlane[4] = {};

  // Plane lists, sized by the plane info files.
  int planeCount = 0;
  int mainPlaneCount = 0;
  float cubeResolution = 0.0f;
  std::vector<Plane> planes;
  std::vector<PlaneEquation> equations;
  std::vector<EdgeLinks> edgeLinks;
  std::vector<int> planeSource;  // 0 main file, k + 1 extra view k

  // Room box.
  float roomMin[3] = {1000000.0f, 1000000.0f, 1000000.0f};
  float roomMax[3] = {-1000000.0f, -1000000.0f, -1000000.0f};

  // The loaded panorama (8-bit, 3 channels, BGR) and its size.
  cv::Mat panorama;
  int panoramaWidth = 0;
  int panoramaHeight = 0;

  // Cuboid stage. Reserved at 1000 slots by allocateFixedStores; the stages
  // resize them to what they need, so more than 1000 planes or boxes grow
  // the containers instead of overflowing them.
  std::vector<Cuboid> cuboids;
  int cuboidCount = 0;
  std::vector<CuboidFaces> cuboidFaces;
  std::vector<Plane> planeSnapshot;
  std::vector<PlaneEquation> equationSnapshot;

  // Rectangle mesh.
  MeshStore mesh;

  // Rectangle groups, one per emitted plane or cuboid; reserved at 200 and
  // grown past that. groupLabels are all zero until mesh generation fills
  // them.
  std::vector<RectangleGroup> groups;
  std::vector<GroupLabel> groupLabels;
  int groupCount = 0;
  int categoryCounters[15] = {};

  // Scene description: the document text and the writer that builds it.
  std::string sceneText;
  JsonWriter sceneWriter;
};

// The one process-wide store.
extern SceneStore sceneStore;

// Capacities the fixed stores are reserved at.
constexpr int kCuboidSlots = 1000;
constexpr int kGroupSlots = 200;
constexpr int kVertexCapacity = 1000000;
constexpr int kRectangleCapacity = 3000000;
constexpr int kSceneTextCapacity = 16384;
