#pragma once

#include "roombox/impulse_response.h"
#include "roombox/reconstruct_room.h"

#include <cstdio>
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
  std::string textureFileName;  // outputPrefix + "-texture.png", no base path
  bool preview = false;         // --preview: also write outputPrefix + "-preview.png"
  bool glb = false;             // --glb: also write outputPrefix + ".glb"
  bool bakedObj = false;        // --baked-obj: also write outputPrefix + "-baked.obj" and more
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

// Runs the command-line tool's sequence for settings: loads the panorama and
// writes the texture, reads the plane info file, moves the extra views'
// planes, reconstructs the room, writes the cuboid text and the scene
// description, then the cuboid text again and the mesh file of the save
// option, with settings.preview the preview image, and with settings.glb or
// settings.bakedObj the baked model (neither prints a line of its own), and
// with settings.rir the impulse response (no line either; its positions are
// checked right after the reconstruction, before any file is written, and a
// room without a room box writes none).
// Prints each stage's line to console as it begins and "Done!!!" at the end,
// and returns the reconstruction. A failure is thrown as Error (after the
// lines of the stages that began), leaving on disk what earlier stages wrote.
// panoramaMemory, when given, is an image the caller no longer uses: the
// panorama is decoded into its memory where it can (see readPanorama), and
// a run that completes leaves the panorama there, so that a caller running
// rooms one after another takes image memory once.
Reconstruction runRoom(const RunSettings& settings, FILE* console,
                       cv::Mat* panoramaMemory = nullptr);

// The texture image a run writes for an output prefix: prefix +
// "-texture.png", under the base path.
std::string textureFileNameFor(const std::string& outputPrefix);

// The texture image that a textured mesh file at meshPath names when the
// caller names none: "<prefix>-texture.png" for a path "<prefix>-rect.obj",
// as a run names them; otherwise meshPath without the extension of its file
// name, followed by "-texture.png" ("out/scene.obj" names
// "out/scene-texture.png"; a file name's leading dot starts no extension).
std::string textureNameForMesh(const std::string& meshPath);

// Writes the mesh file of saveOption at path: 0 an OBJ with one group per
// entry, 1 an OBJ with vertex colours, 2 a textured OBJ (and its material
// file path + ".mtl") naming textureFileName, 3 a coloured OFF. Returns
// false, writing nothing, for any other option.
bool writeSaveOptionMesh(const Reconstruction& r, int saveOption, const std::string& path,
                         const std::string& textureFileName);

// The names (under the base path, output prefix included) of the files a
// complete run with settings writes, in the order it writes them.
std::vector<std::string> runOutputNames(const RunSettings& settings);

}  // namespace roombox
