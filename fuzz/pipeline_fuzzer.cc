// libFuzzer target for the whole run: the first line of an input is the save
// option argument, optionally followed by '|' and a number of one or two
// digits whose bits ask for the named options (1 --glb, 2 --baked-obj,
// 4 --preview, 8 --acoustics, 16 --rir with a cap of 0.25 s); the rest is
// the plane info file. Each input runs the
// command's run sequence (runRoom) on a scratch folder that holds the plane
// file and a small fixed panorama (64 x 32, its bottom rows black), exactly
// as the command line "roombox <folder>/ planes.txt fuzz <option>" would. A
// run must either complete (every output file written, a consistent mesh)
// or throw roombox::Error with a message.
#include "driver/command_line.h"
#include "driver/run_sequence.h"
#include "roombox/compute_room_acoustics.h"
#include "roombox/error.h"
#include "scratch_folder.h"

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace roombox {
namespace {

const char* const kOutputNames[] = {
    "fuzz_cuboid.txt",   "fuzz.JSON",         "fuzz-texture.png",     "fuzz-rect-Object.obj",
    "fuzz-rect-Object-colour.obj", "fuzz-rect.obj", "fuzz-rect.obj.mtl", "fuzz-rect-Object.off",
    "fuzz.glb",          "fuzz-baked.obj",    "fuzz-baked.obj.mtl",   "fuzz-baked.jpg",
    "fuzz-preview.png",  "fuzz-acoustics.json", "fuzz-rir.wav"};

// The cap on the impulse response's length the fuzzer asks for.
constexpr double kRirLengthS = 0.25;

void require(bool holds, const char* what) {
  if (!holds) {
    std::fprintf(stderr, "pipeline fuzzer: %s\n", what);
    std::abort();
  }
}

bool exists(const std::string& name) { return std::filesystem::exists(scratchFolder() + name); }

// Checks what a complete run left: its output files and a mesh whose faces
// name existing vertices.
void checkCompleteRun(const RunSettings& settings, const Reconstruction& room) {
  const int saveOption = settings.saveOption;
  require(exists("fuzz_cuboid.txt") && exists("fuzz.JSON") && exists("fuzz-texture.png"),
          "a complete run left out the cuboid text, the JSON file or the texture");
  const char* meshFiles[] = {"fuzz-rect-Object.obj", "fuzz-rect-Object-colour.obj",
                             "fuzz-rect.obj", "fuzz-rect-Object.off"};
  for (int option = 0; option < 4; ++option) {
    require(exists(meshFiles[option]) == (option == saveOption),
            "the mesh files written do not match the save option");
  }
  require(exists("fuzz-rect.obj.mtl") == (saveOption == 2), "material file written wrongly");
  require(exists("fuzz.glb") == settings.glb, "GLB written wrongly");
  require(exists("fuzz-baked.obj") == settings.bakedObj && exists("fuzz-baked.jpg") == settings.bakedObj,
          "baked OBJ written wrongly");
  require(exists("fuzz-preview.png") == settings.preview, "preview written wrongly");
  require(exists("fuzz-acoustics.json") == (settings.acoustics && hasRoomBox(room)),
          "acoustics file written wrongly");
  if (settings.acoustics && hasRoomBox(room)) {
    std::ifstream file(scratchFolder() + "fuzz-acoustics.json", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    require(text.find("nan") == std::string::npos && text.find("inf") == std::string::npos &&
                text.find("null") == std::string::npos,
            "acoustics file holds a number that is not finite");
  }
  require(exists("fuzz-rir.wav") == (settings.rir && hasRoomBox(room)),
          "impulse response written wrongly");
  if (settings.rir && hasRoomBox(room)) {
    std::ifstream file(scratchFolder() + "fuzz-rir.wav", std::ios::binary);
    const std::string wav((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const std::size_t capBytes =
        static_cast<std::size_t>(kRirLengthS * settings.rirRate) * 4 * 4 + 100;
    require(wav.size() <= capBytes, "impulse response longer than its cap");
    const std::size_t data = wav.find("data", 12);
    require(data != std::string::npos, "impulse response without samples");
    for (std::size_t at = data + 8; at + 4 <= wav.size(); at += 4) {
      float sample = 0.0f;
      std::memcpy(&sample, wav.data() + at, 4);
      require(std::isfinite(sample), "impulse response holds a sample that is not finite");
    }
  }

  const MeshStore& mesh = room.rectangles.mesh;
  const std::size_t vertices = mesh.vertices.size();
  require(mesh.colours.size() == vertices && mesh.texCoords.size() == vertices &&
              mesh.vertexAlpha.size() == vertices,
          "per-vertex lists differ in length");
  for (const std::array<int, 4>& face : mesh.faces) {
    for (const int index : face) {
      require(index >= 0 && static_cast<std::size_t>(index) < vertices,
              "face names a vertex that does not exist");
    }
  }
  for (unsigned char alpha : mesh.vertexAlpha) require(alpha == 0 || alpha == 255, "bad alpha");
  require(room.cuboidFaces.size() == room.cuboids.size(), "face switches differ from the boxes");
  for (const RectangleGroup& group : room.rectangles.groups) {
    const std::size_t sources = group.source == GroupSource::kCuboid ? room.cuboids.size()
                                                                     : room.planes.planes.size();
    require(group.sourceIndex >= 0 && static_cast<std::size_t>(group.sourceIndex) < sources,
            "a group names a source that does not exist");
  }
}

}  // namespace
}  // namespace roombox

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  silenceStandardOutput();
  cv::Mat panorama(32, 64, CV_8UC3);
  for (int row = 0; row < panorama.rows; ++row) {
    for (int col = 0; col < panorama.cols; ++col) {
      const bool black = row >= panorama.rows - 3;
      panorama.at<cv::Vec3b>(row, col) =
          black ? cv::Vec3b(0, 0, 0)
                : cv::Vec3b(static_cast<unsigned char>(1 + col * 3),
                            static_cast<unsigned char>(1 + row * 7),
                            static_cast<unsigned char>((col + row) % 2 ? 200 : 90));
    }
  }
  if (!cv::imwrite(scratchFolder() + "shifted_t.png", panorama)) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t lineEnd = input.find('\n');
  const std::string firstLine = input.substr(0, lineEnd);
  const std::size_t bar = firstLine.find('|');
  // A C string argument ends at its first zero byte, as on a command line.
  const std::string option = firstLine.substr(0, bar).c_str();
  int flags = 0;
  for (std::size_t at = bar == std::string::npos ? firstLine.size() : bar + 1;
       at < firstLine.size() && at < bar + 3 && firstLine[at] >= '0' && firstLine[at] <= '9';
       ++at) {
    flags = flags * 10 + (firstLine[at] - '0');
  }
  const std::string planeFile = lineEnd == std::string::npos ? "" : input.substr(lineEnd + 1);

  const std::string& folder = scratchFolder();
  for (const char* name : roombox::kOutputNames) std::filesystem::remove(folder + name);
  writeWholeFile(folder + "planes.txt", reinterpret_cast<const unsigned char*>(planeFile.data()),
                 planeFile.size());

  roombox::RunSettings settings;
  settings.basePath = folder;
  settings.planeInfoFile = "planes.txt";
  settings.outputPrefix = "fuzz";
  settings.saveOption = roombox::parseSaveOption(option.c_str());
  settings.textureFileName = "fuzz-texture.png";
  settings.glb = (flags & 1) != 0;
  settings.bakedObj = (flags & 2) != 0;
  settings.preview = (flags & 4) != 0;
  settings.acoustics = (flags & 8) != 0;
  settings.rir = (flags & 16) != 0;
  settings.rirLength = roombox::kRirLengthS;
  try {
    const roombox::Reconstruction room = roombox::runRoom(settings, stdout);
    std::fflush(stdout);
    roombox::checkCompleteRun(settings, room);
  } catch (const roombox::Error& error) {
    roombox::require(error.what()[0] != '\0', "an error without a message");
  }
  return 0;
}
