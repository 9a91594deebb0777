#pragma once

#include "common/file_names.h"
#include "roombox/impulse_response.h"
#include "roombox/reconstruct_room.h"
#include "roombox/room_acoustics.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace roombox {

// The settings of one room's run: the four positional arguments of the
// command line, the name of the texture image derived from the output
// prefix, and the named options.
struct RunSettings {
  std::string basePath;         // glued in front of every file name
  std::string planeInfoFile;    // plane info file name
  std::string outputPrefix;     // start of every output file name
  int saveOption = 0;           // which mesh file to write (0..3)
  std::string textureFileName;  // textureFileNameFor(outputPrefix), no base path
  bool preview = false;         // --preview: also write outputPrefix + "-preview.png"
  bool glb = false;             // --glb: also write outputPrefix + ".glb"
  bool bakedObj = false;        // --baked-obj: also write outputPrefix + "-baked.obj" and more
  bool acoustics = false;       // --acoustics: also write outputPrefix + "-acoustics.json"
  std::string materialsFile;    // --materials: a table merged over the built-in one ("" none)
  AirConditions air;            // --air: temperature and humidity of the acoustic model
  int threads = 0;              // threads of the panorama decode, the atlas baking and the
                                // impulse response (0: as suits the machine; 1 when rooms
                                // run side by side)
  bool rir = false;             // --rir: also write outputPrefix + "-rir.wav"
  bool rirSourceGiven = false;  // --rir-source, else the default source
  Vec3 rirSource{};
  bool rirReceiverGiven = false;  // --rir-receiver, else the capture point
  Vec3 rirReceiver{};
  int rirRate = 48000;
  RirFormat rirFormat = RirFormat::Mono;
  double rirLength = 10.0;  // the cap, seconds
  std::uint64_t rirSeed = 0;
};

// The impulse response's settings of a run in the room of acoustics: the
// receiver settings.rirReceiver, or the capture point (the panorama's origin)
// by default; the source settings.rirSource, or defaultRirSource. Throws
// Error for a position or value the room cannot take
// (checkImpulseResponseSettings).
ImpulseResponseSettings impulseResponseSettings(const RunSettings& settings,
                                                const RoomAcoustics& acoustics);

// Runs the command-line tool's sequence for settings: loads the panorama and
// writes the texture, reads the plane info file, moves the extra views'
// planes, reconstructs the room, writes the cuboid text and the scene
// description, then the cuboid text again and the mesh file of the save
// option, with settings.preview the preview image (with settings.acoustics
// or settings.rir, and a room box, its reverberation chart; with
// settings.rir, its decay curves too), and with settings.glb or
// settings.bakedObj the baked model, with settings.acoustics the acoustic
// model, and with settings.rir the impulse response (none of these prints a
// line of its own; the impulse response's positions are checked right after
// the reconstruction, before any file is written, and a room without a room
// box writes none). A materials file or air conditions that cannot be used
// are refused before anything is printed or written.
// Prints each stage's line to console as it begins and "Done!!!" at the end,
// and returns the reconstruction. A failure is thrown as Error (after the
// lines of the stages that began), leaving on disk what earlier stages wrote.
// panoramaMemory, when given, is an image the caller no longer uses: the
// panorama is decoded into its memory where it can (see readPanorama), and
// a run that completes leaves the panorama there, so that a caller running
// rooms one after another takes image memory once. acoustics, when given,
// receives the acoustic model the run wrote (none for a room without a room
// box, which writes no acoustics file).
Reconstruction runRoom(const RunSettings& settings, FILE* console,
                       cv::Mat* panoramaMemory = nullptr,
                       std::optional<RoomAcoustics>* acoustics = nullptr);

// Writes the mesh file of saveOption at path: 0 an OBJ with one group per
// entry, 1 an OBJ with vertex colours, 2 a textured OBJ (and its material
// file path + ".mtl") naming textureFileName (textureNameForMesh(path) when
// empty), 3 a coloured OFF. Returns false, writing nothing, for any other
// option.
bool writeSaveOptionMesh(const Reconstruction& r, int saveOption, const std::string& path,
                         const std::string& textureFileName);

// The names (under the base path, output prefix included) of the files a
// complete run with settings writes, in the order it writes them (the
// acoustics file among them, which a room without a room box leaves out).
std::vector<std::string> runOutputNames(const RunSettings& settings);

}  // namespace roombox
