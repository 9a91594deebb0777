// The library as another program calls it: reading, reconstructing and
// writing rooms through the public API, on several threads at once, and its
// failures as exceptions.
#include "roombox/roombox.h"
#include "support/expect_error.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace roombox {
namespace {

const std::string kExamples = std::string(ROOMBOX_EXAMPLES) + "/";

// A second room, unlike the example: a 4 x 3 x 2.5 box with a table of two
// faces, a cabinet, and a wall plane whose normal points away from the origin.
const char* const kSmallRoom =
    "9 0.05\n"
    "1 7 -2 -1.5 1.5 -1 1.5 -2 0 0.25 -1 0 0 -2 13 4\n"
    "1 7 2 -1.5 1.5 -1 1.5 2 0 0.25 -1 0 0 2 13 0\n"
    "1 9 -1.5 -2 2 -1 1.5 0 -1.5 0.25 0 -1 0 -1.5 13 64\n"
    "1 9 1.5 -2 2 -1 1.5 0 1.5 0.25 0 1 0 -1.5 13 0\n"
    "1 8 -1 -2 2 -1.5 1.5 0 0 -1 0 0 -1 -1 5 0\n"
    "1 8 1.5 -2 2 -1.5 1.5 0 0 1.5 0 0 1 -1.5 3 0\n"
    "1 3 -0.2 0.5 1.5 -0.5 0.5 1 0 -0.2 0 0 1 0.2 10 2\n"
    "1 1 0.5 -0.5 0.5 -1 -0.2 0.5 0 -0.6 1 0 0 -0.5 10 2\n"
    "1 2 1.2 -1.5 -0.5 -1 0.5 -1 1.2 -0.25 0 1 0 -1.2 6 2\n";

// Every output file of one room, written by the library's writers into dir
// with the prefix room, as the command writes them for save options 0 to 3.
void writeAll(const Reconstruction& r, const std::string& dir) {
  const std::string prefix = dir + "room";
  writeCuboidText(r, prefix + "_cuboid.txt");
  writeSceneFile(r, prefix + ".JSON");
  writeObjectObj(r, prefix + "-rect-Object.obj");
  writeColourObj(r, prefix + "-rect-Object-colour.obj");
  writeTexturedObj(r, prefix + "-rect.obj", "room-texture.png");
  writeObjectOff(r, prefix + "-rect-Object.off");
}

const char* const kOutputs[] = {"room_cuboid.txt",      "room.JSON",
                                "room-rect-Object.obj", "room-rect-Object-colour.obj",
                                "room-rect.obj",        "room-rect.obj.mtl",
                                "room-rect-Object.off"};

// Reads, reconstructs and writes one room from folder `input` into `output`.
void runRoomThroughTheLibrary(const std::string& input, const std::string& output) {
  const cv::Mat panorama = readPanorama(input + "shifted_t.png");
  const PlaneList planes = readPlaneInfo(input, "planes.txt");
  writeAll(reconstructRoom(planes, panorama), output);
}

TEST(ReconstructRoomTest, TwoRoomsOnTwoThreadsMatchEachRoomRunAlone) {
  TempDir small;
  small.write("planes.txt", kSmallRoom);
  std::filesystem::copy_file(kExamples + "shifted_t.png", small.path() + "shifted_t.png");
  const std::string inputs[2] = {kExamples, small.path()};

  TempDir alone[2];
  for (int room = 0; room < 2; ++room) runRoomThroughTheLibrary(inputs[room], alone[room].path());
  ASSERT_NE(alone[0].read("room.JSON"), alone[1].read("room.JSON"));

  // Each thread runs its room several times, so that the runs overlap.
  constexpr int kRounds = 4;
  TempDir together[2][kRounds];
  std::vector<std::thread> threads;
  for (int room = 0; room < 2; ++room) {
    threads.emplace_back([&, room] {
      for (int round = 0; round < kRounds; ++round) {
        runRoomThroughTheLibrary(inputs[room], together[room][round].path());
      }
    });
  }
  for (std::thread& thread : threads) thread.join();

  for (int room = 0; room < 2; ++room) {
    for (int round = 0; round < kRounds; ++round) {
      for (const char* name : kOutputs) {
        EXPECT_EQ(together[room][round].read(name), alone[room].read(name))
            << "room " << room << ", round " << round << ": " << name;
      }
    }
  }
}

// The writers of the library write what the command writes.
TEST(ReconstructRoomTest, TheLibraryWritesWhatTheCommandWrites) {
  TempDir command;
  TempDir library;
  ASSERT_EQ(runExampleRoom(command, "0").status, 1);
  ASSERT_EQ(runTool(command.path(), "planes.txt", "room", "1").status, 1);
  ASSERT_EQ(runTool(command.path(), "planes.txt", "room", "2").status, 1);
  ASSERT_EQ(runTool(command.path(), "planes.txt", "room", "3").status, 1);
  runRoomThroughTheLibrary(kExamples, library.path());
  for (const char* name : kOutputs) {
    EXPECT_EQ(library.read(name), command.read(name)) << name;
  }
}

// Two seed planes of one object grow the same box. Of such copies the first
// keeps its faces and the later ones show none, so every object of the
// example room (bed, nightstand, sofa, ...) has faces in the mesh once.
TEST(ReconstructRoomTest, RepeatedBoxesOfTheExampleRoomShowOneCopyOfTheirFaces) {
  const Reconstruction r = reconstructRoom(readPlaneInfo(kExamples, "planes.txt"),
                                           readPanorama(kExamples + "shifted_t.png"));
  const auto sameBounds = [](const Cuboid& a, const Cuboid& b) {
    return a.minX == b.minX && a.maxX == b.maxX && a.minY == b.minY && a.maxY == b.maxY &&
           a.minZ == b.minZ && a.maxZ == b.maxZ;
  };
  std::vector<int> faces(r.cuboids.size(), -1);
  std::vector<int> categories(r.cuboids.size(), 0);
  for (const RectangleGroup& group : r.rectangles.groups) {
    if (group.source != GroupSource::kCuboid) continue;
    faces[static_cast<std::size_t>(group.sourceIndex)] =
        group.lastRectangle - group.firstRectangle + 1;
    categories[static_cast<std::size_t>(group.sourceIndex)] = group.category;
  }
  int repeated = 0;
  int bedFaces = 0;
  for (std::size_t i = 0; i < r.cuboids.size(); ++i) {
    std::size_t first = i;
    for (std::size_t j = 0; j < i && first == i; ++j) {
      if (sameBounds(r.cuboids[j], r.cuboids[i])) first = j;
    }
    if (first != i) {
      ++repeated;
      EXPECT_EQ(faces[i], 0) << "box " << i << " repeats box " << first;
      EXPECT_GT(faces[first], 0) << "box " << first << " is repeated by box " << i;
    }
    if (std::string(CategoryNames[categories[i]]) == "Bed") bedFaces += faces[i];
  }
  EXPECT_GE(repeated, 5);
  // The bed's two identical boxes show top, foot and side once, its foot
  // part the side inside the bed, the headboard its front, top and side.
  EXPECT_EQ(bedFaces, 7);
  EXPECT_EQ(r.rectangles.mesh.faces.size(), 144u);
}

// Failures reach the caller as roombox::Error with the command's message,
// and leave the process running.
TEST(ReconstructRoomTest, FailuresAreThrownWithTheirMessage) {
  TempDir dir;
  EXPECT_ROOMBOX_ERROR(readPlaneInfo(dir.path(), "missing.txt"),
                       "^The file .*missing\\.txt was not opened$");
  EXPECT_ROOMBOX_ERROR(readPanorama(dir.path() + "missing.png"),
                       "^Cannot open the texture image - .*missing\\.png$");
  dir.write("bad.txt", "2 0.05\n1 7 2");
  EXPECT_ROOMBOX_ERROR(readPlaneInfo(dir.path(), "bad.txt"),
                       "^The file .*bad\\.txt is malformed: plane 1 ends early$");

  const Reconstruction empty = reconstructRoom(PlaneList{}, cv::Mat(8, 16, CV_8UC3));
  EXPECT_TRUE(empty.cuboids.empty());
  EXPECT_TRUE(empty.rectangles.mesh.faces.empty());
  EXPECT_EQ(empty.sceneText, "{\n}");
  PlaneList unequal;
  unequal.planes.resize(2);
  unequal.equations.resize(1);
  EXPECT_ROOMBOX_ERROR(reconstructRoom(unequal, cv::Mat()),
                       "^The plane list holds 2 planes but 1 plane equations$");
  EXPECT_ROOMBOX_ERROR(writeSceneFile(empty, dir.path() + "no/such/room.JSON"),
                       "^Cannot open .*no/such/room\\.JSON$");
  EXPECT_ROOMBOX_ERROR(writeTexturedObj(empty, dir.path() + "no/room-rect.obj"),
                       "^Cannot open .*no/room-rect\\.obj$");
}

// A failure's message is plain text for the caller to show as it likes: no
// line feed ends it. Its kind tells a plane info file that cannot be opened
// from every other failure.
TEST(ReconstructRoomTest, FailureMessagesEndWithoutALineFeed) {
  TempDir dir;
  dir.write("bad.png", "\x89PNG\r\n\x1a\n broken");
  dir.write("bad.txt", "x 0.05\n");
  const auto failureOf = [](const std::function<void()>& call) {
    try {
      call();
    } catch (const Error& error) {
      return error;
    }
    ADD_FAILURE() << "no Error";
    return Error("");
  };
  const Error unreadable = failureOf([&] { readPlaneInfo(dir.path(), "missing.txt"); });
  const Error panorama = failureOf([&] { readPanorama(dir.path() + "bad.png"); });
  const Error malformed = failureOf([&] { readPlaneInfo(dir.path(), "bad.txt"); });
  for (const Error& error : {unreadable, panorama, malformed}) {
    const std::string message = error.what();
    ASSERT_FALSE(message.empty());
    EXPECT_NE(message.back(), '\n') << message;
  }
  EXPECT_EQ(unreadable.kind(), ErrorKind::kPlaneFiles);
  EXPECT_EQ(panorama.kind(), ErrorKind::kGeneral);
  EXPECT_EQ(malformed.kind(), ErrorKind::kGeneral);
}

// The observer sees every step once, in order, with the results of the
// steps before it.
TEST(ReconstructRoomTest, TheObserverSeesEveryStepInOrder) {
  const PlaneList planes = readPlaneInfo(kExamples, "planes.txt");
  std::vector<ReconstructionStep> steps;
  std::size_t cuboidsBeforePostProcessing = 0;
  const Reconstruction r = reconstructRoom(
      planes, readPanorama(kExamples + "shifted_t.png"), ViewConfig{},
      [&](ReconstructionStep step, const Reconstruction& soFar) {
        steps.push_back(step);
        if (step == ReconstructionStep::kCuboidPostProcessing) {
          cuboidsBeforePostProcessing = soFar.cuboids.size();
        }
      });
  const std::vector<ReconstructionStep> expected = {
      ReconstructionStep::kPlaneConnection,      ReconstructionStep::kPlaneRangeRefinement,
      ReconstructionStep::kRoomBoundary,         ReconstructionStep::kCuboidGrowth,
      ReconstructionStep::kCuboidPostProcessing, ReconstructionStep::kMeshGeneration,
      ReconstructionStep::kSceneDescription};
  EXPECT_EQ(steps, expected);
  EXPECT_EQ(cuboidsBeforePostProcessing, r.cuboids.size());
  EXPECT_EQ(r.cuboids.size(), 44u);
}

}  // namespace
}  // namespace roombox
