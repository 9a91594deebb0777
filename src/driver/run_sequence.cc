#include "driver/run_sequence.h"

#include "acoustics/air.h"
#include "bake/baked_obj_files.h"
#include "driver/timing.h"
#include "input/view_transforms.h"
#include "mesh/textured_obj_files.h"
#include "roombox/bake_atlas.h"
#include "roombox/merge_textures.h"
#include "roombox/read_plane_info.h"
#include "roombox/write_colour_obj.h"
#include "roombox/write_cuboid_text.h"
#include "roombox/write_glb.h"
#include "roombox/write_object_obj.h"
#include "roombox/write_object_off.h"
#include "roombox/acoustic_materials.h"
#include "roombox/compute_room_acoustics.h"
#include "roombox/write_acoustics.h"
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

// The run's output names after the output prefix.
constexpr const char* kCuboidTextEnding = "_cuboid.txt";
constexpr const char* kSceneFileEnding = ".JSON";
constexpr const char* kPreviewEnding = "-preview.png";
constexpr const char* kAcousticsEnding = "-acoustics.json";
constexpr const char* kRirEnding = "-rir.wav";
constexpr const char* kGlbEnding = ".glb";
constexpr const char* kBakedObjEnding = "-baked.obj";

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
// none. The files of a run name one another as files written in the base
// path's folder would (texturedObjFilesUnder).
void writeMeshFile(const RunSettings& s, const Reconstruction& r) {
  if (s.saveOption == 2) {
    writeTexturedObjFiles(r, texturedObjFilesUnder(s.basePath, s.outputPrefix + meshFileEnding(2),
                                                   s.textureFileName));
    return;
  }
  const char* ending = meshFileEnding(s.saveOption);
  if (ending != nullptr) {
    writeSaveOptionMesh(r, s.saveOption, s.basePath + s.outputPrefix + ending, s.textureFileName);
  }
}

}  // namespace

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

namespace {

// What the acoustics file says of the impulse response written beside it.
RirSummary rirSummary(const RunSettings& s, const ImpulseResponseSettings& settings,
                      const ImpulseResponse& response) {
  RirSummary summary;
  summary.file = fileNamePart(s.outputPrefix + kRirEnding);
  summary.sampleRate = response.sampleRate;
  summary.source = settings.source;
  summary.receiver = settings.receiver;
  summary.format = settings.format == RirFormat::AmbiX ? "ambix" : "mono";
  summary.lengthS = response.lengthS();
  summary.truncated = response.truncated;
  summary.seed = settings.seed;
  summary.maxOrder = settings.maxOrder;
  summary.rays = settings.rays;
  return summary;
}

}  // namespace

Reconstruction runRoom(const RunSettings& s, FILE* console, cv::Mat* panoramaMemory,
                       std::optional<RoomAcoustics>* acousticsOut) {
  const ViewConfig views;
  StageTimer timer = makeStageTimer();

  // A materials file or air conditions that cannot be used stop the run
  // before it prints or writes anything.
  const MaterialTable materials =
      s.materialsFile.empty() ? builtinMaterialTable() : readMaterialTable(s.materialsFile);
  if (s.acoustics || s.rir) checkAirConditions(s.air);

  std::fprintf(console, "Loading files\n");
  ViewTransform transforms[kViewSlots] = {};
  const int transformed = usableViewCount(views, ViewSlots::kAffineFiles);
  for (int k = 0; k < transformed; ++k) {
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
  for (int k = 0; k < transformed; ++k) {
    transformViewPlanes(k, transforms[k], planes);
  }

  const Reconstruction r = reconstructRoom(
      std::move(planes), panorama, views,
      [&timer, console](ReconstructionStep step, const Reconstruction& soFar) {
        reportStep(step, soFar, timer, console);
      });

  const std::string prefix = s.basePath + s.outputPrefix;
  // The acoustic model, and the impulse response computed from it, print no
  // line; a room without a room box has neither. The impulse response's
  // positions are checked before anything is written.
  std::optional<RoomAcoustics> acoustics;
  std::optional<ImpulseResponse> response;
  if ((s.acoustics || s.rir) && hasRoomBox(r)) {
    timeStage(timer, "acoustics");
    acoustics = computeRoomAcoustics(r, materials, s.air);
    if (s.rir) {
      const ImpulseResponseSettings rirSettings = impulseResponseSettings(s, *acoustics);
      timeStage(timer, "impulse response");
      response = computeImpulseResponse(*acoustics, rirSettings);
      acoustics->rir = rirSummary(s, rirSettings, *response);
    }
  }
  std::fprintf(console, "Saving\n");
  std::fprintf(console, "Total f: %d\n", static_cast<int>(r.rectangles.mesh.faces.size()));
  timeStage(timer, "cuboid text and scene files");
  writeCuboidText(r, prefix + kCuboidTextEnding);
  writeSceneFile(r, prefix + kSceneFileEnding);

  std::fprintf(console, "Saving\n");
  std::fprintf(console, "Total f: %d\n", static_cast<int>(r.rectangles.mesh.faces.size()));
  timeStage(timer, "cuboid text and mesh file");
  writeCuboidText(r, prefix + kCuboidTextEnding);
  writeMeshFile(s, r);

  if (s.acoustics && acoustics) {
    timeStage(timer, "acoustics file");
    writeAcoustics(*acoustics, prefix + kAcousticsEnding);
  }

  // The preview prints no line, so that the console output is the same with
  // or without it. It draws the acoustic model the run computed, with the
  // decay curves of the impulse response the run writes (timed with it).
  if (s.preview) {
    timeStage(timer, "preview");
    if (response) acoustics->rir->decayDb = energyDecayCurves(*response);
    writePreview(r, prefix + kPreviewEnding, panorama, acoustics ? &*acoustics : nullptr);
  }

  // The baked model, written after everything else and printing no line.
  if (s.glb || s.bakedObj) {
    timeStage(timer, "atlas baking");
    const BakedAtlas atlas = bakeAtlas(r.rectangles.mesh, r.rectangles.groups, r.cuboids, panorama,
                                       AtlasLimits(), s.threads);
    if (s.glb) {
      timeStage(timer, "glb file");
      writeGlb(r, prefix + kGlbEnding, atlas, materials);
    }
    if (s.bakedObj) {
      timeStage(timer, "baked obj files");
      writeBakedObjFiles(r, bakedObjFilesUnder(s.basePath, s.outputPrefix + kBakedObjEnding),
                         atlas);
    }
  }

  if (response) {
    timeStage(timer, "impulse response file");
    writeImpulseResponseWav(*response, prefix + kRirEnding);
  }
  timeStage(timer, nullptr);
  std::fprintf(console, "Done!!!\n");
  memory = panorama;
  if (acousticsOut != nullptr) *acousticsOut = std::move(acoustics);
  return r;
}

bool writeSaveOptionMesh(const Reconstruction& r, int saveOption, const std::string& path,
                         const std::string& textureFileName) {
  switch (saveOption) {
    case 0:
      writeObjectObj(r, path);
      return true;
    case 1:
      writeColourObj(r, path);
      return true;
    case 2:
      writeTexturedObj(r, path, textureFileName);
      return true;
    case 3:
      writeObjectOff(r, path);
      return true;
    default:
      return false;
  }
}

std::vector<std::string> runOutputNames(const RunSettings& s) {
  const std::string& prefix = s.outputPrefix;
  std::vector<std::string> names = {s.textureFileName, prefix + kCuboidTextEnding,
                                    prefix + kSceneFileEnding};
  if (s.saveOption == 2) {
    const TexturedObjFiles files = texturedObjFiles(prefix + meshFileEnding(2), s.textureFileName);
    names.push_back(files.objPath);
    names.push_back(files.mtlPath);
  } else if (const char* ending = meshFileEnding(s.saveOption)) {
    names.push_back(prefix + ending);
  }
  if (s.acoustics) names.push_back(prefix + kAcousticsEnding);
  if (s.preview) names.push_back(prefix + kPreviewEnding);
  if (s.glb) names.push_back(prefix + kGlbEnding);
  if (s.bakedObj) {
    const BakedObjFiles files = bakedObjFiles(prefix + kBakedObjEnding);
    names.push_back(files.imagePath);
    names.push_back(files.mtlPath);
    names.push_back(files.objPath);
  }
  if (s.rir) names.push_back(prefix + kRirEnding);
  return names;
}

}  // namespace roombox
