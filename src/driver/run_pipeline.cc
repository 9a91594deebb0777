#include "driver/run_pipeline.h"

#include "cuboids/clamp_cuboids_to_room.h"
#include "cuboids/hide_covered_faces.h"
#include "cuboids/reconstruct_cuboids.h"
#include "driver/allocate_fixed_stores.h"
#include "driver/parse_save_option.h"
#include "driver/scene_store.h"
#include "driver/stage_timer.h"
#include "driver/stop_run.h"
#include "input/merge_textures.h"
#include "input/read_affine_file.h"
#include "input/read_plane_info.h"
#include "input/transform_view_planes.h"
#include "mesh/generate_rectangle_mesh.h"
#include "mesh/write_colour_obj.h"
#include "mesh/write_cuboid_text.h"
#include "mesh/write_object_obj.h"
#include "mesh/write_object_off.h"
#include "mesh/write_textured_obj.h"
#include "planes/compute_room_boundary.h"
#include "planes/connect_plane.h"
#include "planes/refine_plane_range.h"
#include "scene/write_scene_description.h"
#include "scene/write_scene_file.h"

#include <cstdio>

int runPipeline(int argc, char** argv) {
  if (argc < 5) {
    std::printf(
        "Syntax is: %s [Base Path] [Plain Info File] [Output name (Prefix)] [Save Option] \n",
        argc > 0 ? argv[0] : "roombox");
    std::printf(
        "\tSave Option: 0: obj with obj/material info  1: obj rectangle with coloured obj info 2: "
        "obj rectangle with texture \n");
    return kFailureStatus;
  }
  SceneStore& store = sceneStore;
  store.basePath = argv[1];
  store.planeInfoFile = argv[2];
  store.outputPrefix = argv[3];
  store.saveOption = parseSaveOption(argv[4]);
  store.textureFileName = store.outputPrefix + "-texture.png";

  std::printf("Loading files\n");
  for (int k = 0; k < store.viewCount; ++k) {
    readAffineFile(k, store.affineFileNames[k]);
  }

  std::printf("Texture merge\n");
  timeStage("texture merge");
  mergeTextures();

  std::printf("plane info\n");
  timeStage("plane info");
  readPlaneInfo();

  std::printf("Transform\n");
  for (int k = 0; k < store.viewCount; ++k) {
    transformViewPlanes(k);
  }

  store.groups.assign(kGroupSlots, RectangleGroup{});
  store.groupLabels.assign(kGroupSlots, GroupLabel{});
  std::printf("Plane connection\n");
  timeStage("plane connection");
  connectPlanes();

  std::printf("Plane range refinement\n");
  timeStage("plane range refinement");
  refinePlaneRanges();

  timeStage("allocation and room boundary");
  allocateFixedStores();
  std::printf("Number of initial planes: %d \n", store.planeCount);

  computeRoomBoundary();
  std::printf("Room boundary min: %f %f %f  max: %f %f %f \n", store.roomMin[0], store.roomMin[1],
              store.roomMin[2], store.roomMax[0], store.roomMax[1], store.roomMax[2]);

  std::printf("Cube reconstruction\n");
  timeStage("cuboid growth");
  store.cuboidCount = 0;
  store.cuboidCount = reconstructCuboids();
  store.cuboidFaces.assign(store.cuboidCount, CuboidFaces{1, 1, 1, 1, 1, 1});
  std::printf("Number of cube generated: %d \n", store.cuboidCount);
  timeStage("cuboid post-processing");
  clampCuboidsToRoom();
  hideCoveredFaces();

  std::printf("Mesh generation\n");
  timeStage("mesh generation");
  generateRectangleMesh();
  timeStage("scene description");
  writeSceneDescription();

  std::printf("Saving\n");
  std::printf("Total f: %d\n", store.mesh.rectangleCount);
  timeStage("cuboid text and scene files");
  writeCuboidText();
  writeSceneFile();

  std::printf("Saving\n");
  std::printf("Total f: %d\n", store.mesh.rectangleCount);
  timeStage("cuboid text and mesh file");
  writeCuboidText();
  switch (store.saveOption) {
    case 0:
      writeObjectObj(store.groups);
      break;
    case 1:
      writeColourObj();
      break;
    case 2:
      writeTexturedObj();
      break;
    case 3:
      writeObjectOff();
      break;
    default:
      break;  // any other option writes no mesh file
  }

  timeStage(nullptr);
  std::printf("Done!!!\n");
  return 1;
}
