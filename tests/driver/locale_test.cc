// Number input and output under a process locale whose decimal separator is a
// comma: a program that calls setlocale(LC_ALL, "de_DE.UTF-8") (as Python
// programs and GUI toolkits do) must read the example room and write every
// file exactly as in the C locale, and get its own locale back afterwards.
#include "input/view_transforms.h"
#include "mesh/number_format.h"
#include "roombox/roombox.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

namespace {

constexpr const char* kCommaLocale = "de_DE.UTF-8";

// Sets the process locale for the life of the scope, back to "C" after.
class ProcessLocale {
 public:
  explicit ProcessLocale(const char* name) : set_(std::setlocale(LC_ALL, name) != nullptr) {}
  ~ProcessLocale() { std::setlocale(LC_ALL, "C"); }
  bool set() const { return set_; }

 private:
  bool set_;
};

// Reads and reconstructs the example room and writes every file the library
// writes into dir; returns their contents by file name.
std::map<std::string, std::string> writeExampleRoom(const TempDir& dir) {
  const std::string examples = std::string(ROOMBOX_EXAMPLES) + "/";
  const cv::Mat panorama = roombox::readPanorama(examples + "shifted_t.png");
  const roombox::Reconstruction room =
      roombox::reconstructRoom(roombox::readPlaneInfo(examples, "planes.txt"), panorama);
  const std::string base = dir.path();
  roombox::writeCuboidText(room, base + "room_cuboid.txt");
  roombox::writeSceneFile(room, base + "room.JSON");
  roombox::writeObjectObj(room, base + "room-rect-Object.obj");
  roombox::writeColourObj(room, base + "room-rect-Object-colour.obj");
  roombox::writeTexturedObj(room, base + "room-rect.obj");
  roombox::writeObjectOff(room, base + "room-rect-Object.off");
  roombox::writePreview(room, base + "room-preview.png", panorama);
  roombox::writeAcoustics(roombox::computeRoomAcoustics(room), base + "room-acoustics.json");
  const roombox::BakedAtlas atlas = roombox::bakeAtlas(
      room.rectangles.mesh, room.rectangles.groups, room.cuboids, panorama);
  roombox::writeGlb(room, base + "room.glb", atlas);
  roombox::writeBakedObj(room, base + "room-baked.obj", atlas);
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(base)) {
    const std::string name = entry.path().filename().string();
    files[name] = dir.read(name);
  }
  return files;
}

TEST(LocaleTest, ACommaLocaleReadsAndWritesTheExampleRoomAsTheCLocaleDoes) {
  TempDir inC;
  const std::map<std::string, std::string> expected = writeExampleRoom(inC);
  ASSERT_EQ(expected.size(), 13u);

  TempDir inComma;
  std::map<std::string, std::string> written;
  char caller[32] = {};
  {
    const ProcessLocale locale(kCommaLocale);
    ASSERT_TRUE(locale.set()) << kCommaLocale << " is not installed (Debian: locales-all)";
    written = writeExampleRoom(inComma);
    // An affine view transform is read through the same number reader.
    const roombox::ViewTransform transform = roombox::readAffineFile(
        inComma.write("Affine.txt", "1.5 0 0 0.25\n0 1 0 -2.5e-1\n0 0 1 0x1.8p1\n"));
    EXPECT_EQ(transform.matrix[0][0], 1.5f);
    EXPECT_EQ(transform.matrix[1][3], -0.25f);
    EXPECT_EQ(transform.matrix[2][3], 3.0f);
    // Numbers too large for the fast formatter go through printf.
    char text[320];
    EXPECT_EQ(std::string(text, roombox::formatFixed(1e300, text)).find(','), std::string::npos);
    // The caller's own formatting keeps its locale.
    std::snprintf(caller, sizeof(caller), "%.1f", 0.5);
  }
  EXPECT_STREQ(caller, "0,5");
  ASSERT_EQ(written.size(), expected.size());
  for (const auto& [name, contents] : expected) {
    EXPECT_TRUE(written[name] == contents) << name << " differs in " << kCommaLocale;
  }
}

}  // namespace
