#include "driver/run_sequence.h"

#include "driver/timing.h"
#include "input/view_transforms.h"
#include "roombox/merge_textures.h"
#include "roombox/read_plane_info.h"
#include "roombox/write_colour_obj.h"
#include "roombox/write_cuboid_text.h"
#include "roombox/write_object_obj.h"
#include "roombox/write_object_off.h"
#include "roombox/bake_atlas.h"
#include "roombox/compute_room_acoustics.h"
#include "roombox/write_baked_obj.h"
#include "roombox/write_glb.h"
#include "roombox/write_preview.h"
#include "roombox/write_scene_file.h"
#include "roombox/write_textured_obj.h"

#include <cstdio>
#include <utility>

namespace roombox {

namespace {

// Prints a view's transform as the tool reports it.
void printTransform(const ViewTransform& transform, FILE* console) {
  std::fprintf(console, "Transform matrix\n");
  for (int row = 0; row < 3; ++row) {
    std::fprintf(console, "%f %f %f %f\n", static_cast<double>(transform.matrix[row][0]),
                static_cast<double>(transform.matrix[row][1]),
                static_cast<double>(transform.matrix[row][2]),
                static_cast<double>(transform.matrix[row][3]));
  }
  std::fprintf(console, "\n");
}

// Prints the console line of each reconstruction step as it begins, with the
// counts and the room box of the steps before it, and times the steps.
void reportStep(ReconstructionStep step, const Reconstruction& soFar, StageTimer& timer,
                FILE* console) {
  switch (step) {
    case ReconstructionStep::kPlaneConnection:
      std::fprintf(console, "Plane connection\n");
      timeStage(timer, "plane connection");
      break;
    case ReconstructionStep::kPlaneRangeRefinement:
      std::fprintf(console, "Plane range refinement\n");
      timeStage(timer, "plane range refinement");
      break;
    case ReconstructionStep::kRoomBoundary:
      timeStage(timer, "room boundary");
      std::fprintf(console, "Number of initial planes: %d \n",
                  static_cast<int>(soFar.planes.planes.size()));
      break;
    case ReconstructionStep::kCuboidGrowth: {
      const RoomBox& room = soFar.room;
      std::fprintf(console, "Room boundary min: %f %f %f  max: %f %f %f \n", room.roomMin[0],
                  room.roomMin[1], room.roomMin[2], room.roomMax[0], room.roomMax[1],
                  room.roomMax[2]);
      std::fprintf(console, "Cube reconstruction\n");
      timeStage(timer, "cuboid growth");
      break;
    }
    case ReconstructionStep::kCuboidPostProcessing:
      std::fprintf(console, "Number of cube generated: %d \n", static_cast<int>(soFar.cuboids.size()));
      timeStage(timer, "cuboid post-processing");
      break;
    case ReconstructionStep::kMeshGeneration:
      std::fprintf(console, "Mesh generation\n");
      timeStage(timer, "mesh generation");
      break;
    case ReconstructionStep::kSceneDescription:
      timeStage(timer, "scene description");
      break;
  }
}

// The ending after the output prefix of the mesh file a save option
// writes; nullptr for an option that writes none.
const char* meshFileEnding(int saveOption) {
  switch (saveOption) {
    case 0:
      return "-rect-Object.obj";
    case 1:
      return "-rect-Object-colour.obj";
    case 2:
      return "-rect.obj";
    case 3:
      return "-rect-Object.off";
    default:
      return nullptr;
  }
}

// Writes the mesh file the save option selects; any other option writes
// none. A run's textured OBJ names its material file after the output
// prefix alone (see writeTexturedObj).
void writeMeshFile(const RunSettings& s, const Reconstruction& r) {
  if (s.saveOption == 2) {
    writeTexturedObj(r.rectangles.mesh, s.basePath, s.outputPrefix, s.textureFileName);
    return;
  }
  const char* ending = meshFileEnding(s.saveOption);
  if (ending != nullptr) {
    writeSaveOptionMesh(r, s.saveOption, s.basePath + s.outputPrefix + ending, s.textureFileName);
  }
}

// The impulse response's settings for a run, its positions checked against
// the room (the receiver defaults to the capture point, the panorama's
// origin).
ImpulseResponseSettings impulseResponseSettings(const RunSettings& s,
                                                const RoomAcoustics& acoustics) {
  ImpulseResponseSettings settings;
  settings.receiver = s.rirReceiverGiven ? s.rirReceiver : Vec3{0.0, 0.0, 0.0};
  checkRirPosition(acoustics, settings.receiver, "receiver");
  settings.source = s.rirSourceGiven ? s.rirSource : defaultRirSource(acoustics, settings.receiver);
  settings.sampleRate = s.rirRate;
  settings.format = s.rirFormat;
  settings.maxLengthS = s.rirLength;
  settings.seed = s.rirSeed;
  settings.threads = s.threads;
  checkImpulseResponseSettings(acoustics, settings);
  return settings;
}

}  // namespace

Reconstruction runRoom(const RunSettings& s, FILE* console, cv::Mat* panoramaMemory) {
  const ViewConfig views;
  StageTimer timer = makeStageTimer();

  std::fprintf(console, "Loading files\n");
  ViewTransform transforms[kViewSlots] = {};
  for (int k = 0; k < views.viewCount && k < kViewSlots; ++k) {
    transforms[k] = readAffineFile(s.basePath + views.affineFileNames[k]);
    printTransform(transforms[k], console);
  }

  std::fprintf(console, "Texture merge\n");
  timeStage(timer, "texture merge");
  cv::Mat noMemory;
  cv::Mat& memory = panoramaMemory != nullptr ? *panoramaMemory : noMemory;
  const cv::Mat panorama = mergeTextures(s.basePath, s.textureFileName, views, s.threads, memory);

  std::fprintf(console, "plane info\n");
  timeStage(timer, "plane info");
  PlaneList planes = readPlaneInfo(s.basePath, s.planeInfoFile, views);

  std::fprintf(console, "Transform\n");
  for (int k = 0; k < views.viewCount && k < kViewSlots; ++k) {
    transformViewPlanes(k, transforms[k], planes);
  }

  const Reconstruction r = reconstructRoom(
      std::move(planes), panorama, views,
      [&timer, console](ReconstructionStep step, const Reconstruction& soFar) {
        reportStep(step, soFar, timer, console);
      });

  const std::string prefix = s.basePath + s.outputPrefix;
  // The impulse response's positions are checked before anything is written.
  const bool rir = s.rir && hasRoomBox(r);
  RoomAcoustics acoustics;
  ImpulseResponseSettings rirSettings;
  if (rir) {
    timeStage(timer, "acoustics");
    acoustics = computeRoomAcoustics(r);
    rirSettings = impulseResponseSettings(s, acoustics);
  }
  std::fprintf(console, "Saving\n");
  std::fprintf(console, "Total f: %d\n", r.rectangles.mesh.rectangleCount);
  timeStage(timer, "cuboid text and scene files");
  writeCuboidText(r, prefix + "_cuboid.txt");
  writeSceneFile(r.sceneText, prefix + ".JSON");

  std::fprintf(console, "Saving\n");
  std::fprintf(console, "Total f: %d\n", r.rectangles.mesh.rectangleCount);
  timeStage(timer, "cuboid text and mesh file");
  writeCuboidText(r, prefix + "_cuboid.txt");
  writeMeshFile(s, r);

  // The preview prints no line, so that the console output is the same with
  // or without it.
  if (s.preview) {
    timeStage(timer, "preview");
    writePreview(r, panorama, prefix + "-preview.png");
  }

  // The baked model, written after everything else and printing no line.
  if (s.glb || s.bakedObj) {
    timeStage(timer, "atlas baking");
    const BakedAtlas atlas = bakeAtlas(r.rectangles, r.cuboids, panorama, AtlasLimits(), s.threads);
    if (s.glb) {
      timeStage(timer, "glb file");
      writeGlb(r, atlas, prefix + ".glb");
    }
    if (s.bakedObj) {
      timeStage(timer, "baked obj files");
      writeBakedObj(r, atlas, s.basePath, s.outputPrefix);
    }
  }

  if (rir) {
    timeStage(timer, "impulse response");
    writeImpulseResponseWav(computeImpulseResponse(acoustics, rirSettings), prefix + "-rir.wav");
  }
  timeStage(timer, nullptr);
  std::fprintf(console, "Done!!!\n");
  memory = panorama;
  return r;
}

std::string textureFileNameFor(const std::string& outputPrefix) {
  return outputPrefix + "-texture.png";
}

std::string textureNameForMesh(const std::string& meshPath) {
  const std::string rectEnding = meshFileEnding(2);
  if (meshPath.size() >= rectEnding.size() &&
      meshPath.compare(meshPath.size() - rectEnding.size(), rectEnding.size(), rectEnding) == 0) {
    return textureFileNameFor(meshPath.substr(0, meshPath.size() - rectEnding.size()));
  }
  const std::string::size_type slash = meshPath.find_last_of('/');
  const std::string::size_type nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::string::size_type dot = meshPath.find_last_of('.');
  const bool extension = dot != std::string::npos && dot > nameStart;
  return textureFileNameFor(extension ? meshPath.substr(0, dot) : meshPath);
}

bool writeSaveOptionMesh(const Reconstruction& r, int saveOption, const std::string& path,
                         const std::string& textureFileName) {
  switch (saveOption) {
    case 0:
      writeObjectObj(r.rectangles, path);
      return true;
    case 1:
      writeColourObj(r.rectangles.mesh, path);
      return true;
    case 2:
      writeTexturedObj(r.rectangles.mesh, path, textureFileName);
      return true;
    case 3:
      writeObjectOff(r.rectangles.mesh, path);
      return true;
    default:
      return false;
  }
}

std::vector<std::string> runOutputNames(const RunSettings& s) {
  const std::string& prefix = s.outputPrefix;
  std::vector<std::string> names = {s.textureFileName, prefix + "_cuboid.txt", prefix + ".JSON"};
  if (const char* ending = meshFileEnding(s.saveOption)) {
    names.push_back(prefix + ending);
    // A textured OBJ comes with its material file.
    if (s.saveOption == 2) names.push_back(prefix + ending + ".mtl");
  }
  if (s.preview) names.push_back(prefix + "-preview.png");
  if (s.glb) names.push_back(prefix + ".glb");
  if (s.bakedObj) {
    names.push_back(prefix + "-baked.jpg");
    names.push_back(prefix + "-baked.obj.mtl");
    names.push_back(prefix + "-baked.obj");
  }
  if (s.rir) names.push_back(prefix + "-rir.wav");
  return names;
}

}  // namespace roombox
