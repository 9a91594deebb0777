// Runs the built tool on hostile input: broken, truncated or garbage plane
// files, panoramas that are no image or an unusual one, and output folders
// that cannot be written or fill up. Every run must end either with a clear
// message naming the file and status 2, or, where the input is valid, as a
// complete run (status 1, "Done!!!"): never with a crash, a hang, a sanitizer
// report or a silent success.
#include "consumer_readers.h"
#include "support/gltf_validator.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <sys/mount.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kExamplePlanes = std::string(ROOMBOX_EXAMPLES) + "/planes.txt";
const std::string kExamplePanorama = std::string(ROOMBOX_EXAMPLES) + "/shifted_t.png";

// A wall and an object plane of the example room.
const std::string kWall = "1 7 -2.5 -2 2.5 -1.4 1.3 -2.5 0.25 -0.05 1 0 0 2.5 13 132\n";
const std::string kBedTop = "1 3 -0.85 -2.5 -0.7 -2 -0.6 -1.6 -1.3 -0.85 0 0 1 0.85 1 514\n";

// Writes a small panorama (64 x 32, colour gradient) into dir.
void writeSmallPanorama(const TempDir& dir) {
  cv::Mat panorama(32, 64, CV_8UC3);
  for (int row = 0; row < panorama.rows; ++row) {
    for (int col = 0; col < panorama.cols; ++col) {
      panorama.at<cv::Vec3b>(row, col) = cv::Vec3b(static_cast<unsigned char>(1 + 3 * col),
                                                   static_cast<unsigned char>(1 + 7 * row), 128);
    }
  }
  ASSERT_TRUE(cv::imwrite(dir.path() + "shifted_t.png", panorama));
}

// Runs the tool on dir with the plane file planes.txt, prefix room.
ToolRun runIn(const TempDir& dir, const std::string& option = "2",
              const std::string& prefix = "room") {
  return runTool(dir.path(), "planes.txt", prefix, option);
}

// The run ended as a failure should: status 2, the expected last line, no
// "Done!!!", and nothing a sanitizer or the C++ runtime says about a crash.
void expectStopped(const ToolRun& run, const std::string& lastMessageLine,
                   const std::string& context) {
  EXPECT_EQ(run.status, 2) << context << "\n" << run.output << run.errors;
  EXPECT_EQ(lastLine(run.output), lastMessageLine) << context;
  EXPECT_EQ(run.output.find("Done!!!"), std::string::npos) << context;
  EXPECT_EQ(run.errors.find("Sanitizer"), std::string::npos) << context << run.errors;
  EXPECT_EQ(run.errors.find("runtime error"), std::string::npos) << context << run.errors;
  EXPECT_EQ(run.errors.find("terminate"), std::string::npos) << context << run.errors;
}

void expectComplete(const ToolRun& run, const std::string& context) {
  EXPECT_EQ(run.status, 1) << context << "\n" << run.output << run.errors;
  EXPECT_EQ(lastLine(run.output), "Done!!!") << context;
  EXPECT_EQ(run.errors, "") << context;
}

// Deterministic binary garbage.
std::string garbage(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() & 0xff);
  return bytes;
}

// The wall record with its number-th number (1-based) replaced by token.
std::string wallWith(int number, const std::string& token) {
  std::istringstream in(kWall);
  std::string record;
  std::string word;
  for (int n = 1; in >> word; ++n) record += (n == number ? token : word) + " ";
  return record + "\n";
}

std::string examplePlaneText() { return readWholeFile(kExamplePlanes); }

// The first lines of the example plane file after its header, under a header
// that announces all 50 planes.
std::string exampleCutAfterLines(int lines) {
  const std::string text = examplePlaneText();
  std::string::size_type end = 0;
  for (int i = 0; i <= lines; ++i) end = text.find('\n', end) + 1;
  return text.substr(0, end);
}

TEST(HostileInputTest, MalformedPlaneFilesStopWithAMessageNamingTheFile) {
  const std::string text = examplePlaneText();
  const std::string withoutLastNumber = text.substr(0, text.find_last_of(" ") + 1);
  struct Case {
    std::string name;
    std::string content;
    std::string detail;  // the message after "The file <path> is malformed: "
  };
  const std::vector<Case> cases = {
      {"empty file", "", "the plane count is missing"},
      {"white space only", " \n\t\r\n", "the plane count is missing"},
      {"count only", "50", "the cube resolution is missing"},
      {"header only", "50 0.05\n", "plane 1 ends early"},
      {"cut after ten records", exampleCutAfterLines(10), "plane 11 ends early"},
      {"cut inside a record", exampleCutAfterLines(10) + "1 3 -0.85 -2.5", "plane 11 ends early"},
      {"cut inside a number", exampleCutAfterLines(10) + "1 3 -0.", "plane 11 ends early"},
      {"last number missing", withoutLastNumber, "plane 50 ends early"},
      {"count far above the records", "1000000 0.05\n" + kWall, "plane 2 ends early"},
      {"largest count, one record", "2147483647 0.05\n" + kWall, "plane 2 ends early"},
      {"count above the int range", "2147483648 0.05\n" + kWall,
       "plane count 2147483648 is too large"},
      {"twenty-digit count", "99999999999999999999 0.05\n",
       "plane count 99999999999999999999 is too large"},
      {"negative count", "-3 0.05\n" + kWall, "negative plane count -3"},
      {"fractional count", "2.5 0.05\n", "the plane count is not a whole number"},
      {"garbage after the header", "2 0.05\n\x7f" "ELF\x02\x01\x01",
       "plane 1 number 1 is not a number"},
      {"zero byte inside a number", std::string("1 0.0\0" "5\n", 8) + kWall,
       "the cube resolution is not a number"},
      {"infinite resolution", "1 inf\n" + kWall, "the cube resolution is not finite"},
      {"coordinate beyond float", "1 0.05\n" + wallWith(3, "1e39"),
       "plane 1 number 3 is not finite"},
      {"not-a-number coordinate", "1 0.05\n" + wallWith(4, "nan"),
       "plane 1 number 4 is not finite"},
      {"infinite coordinate", "1 0.05\n" + wallWith(8, "-infinity"),
       "plane 1 number 8 is not finite"},
      {"word instead of a number", "1 0.05\n" + wallWith(5, "two"),
       "plane 1 number 5 is not a number"},
      {"number glued to a word", "1 0.05\n" + wallWith(16, "132abc"),
       "plane 1 number 16 is not a number"},
      {"category 15", "1 0.05\n" + wallWith(15, "15"), "plane 1 category 15 is outside 0 to 14"},
      {"category -1", "2 0.05\n" + kWall + wallWith(15, "-1"),
       "plane 2 category -1 is outside 0 to 14"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    writeSmallPanorama(dir);
    dir.write("planes.txt", c.content);
    const ToolRun run = runIn(dir);
    expectStopped(run, "The file " + dir.path() + "planes.txt is malformed: " + c.detail, c.name);
    // The texture (written before the plane file is read) is all that is left.
    EXPECT_EQ(filesIn(dir.path()),
              (std::set<std::string>{"planes.txt", "shifted_t.png", "room-texture.png"}))
        << c.name;
  }
}

TEST(HostileInputTest, BinaryGarbageAsThePlaneFileIsRejected) {
  for (unsigned seed = 1; seed <= 4; ++seed) {
    TempDir dir;
    writeSmallPanorama(dir);
    const std::string content = seed == 4 ? "50 0.05\n" + garbage(4096, seed) : garbage(4096, seed);
    dir.write("planes.txt", content);
    const ToolRun run = runIn(dir);
    const std::string context = "garbage seed " + std::to_string(seed);
    EXPECT_EQ(run.status, 2) << context << run.output;
    EXPECT_EQ(lastLine(run.output).rfind("The file " + dir.path() + "planes.txt is malformed: ", 0),
              0u)
        << context << ": " << lastLine(run.output);
    EXPECT_EQ(run.errors, "") << context;
  }
}

TEST(HostileInputTest, APlaneFileThatCannotBeReadIsNamed) {
  TempDir dir;
  writeSmallPanorama(dir);
  // Missing, and a folder in its place.
  const ToolRun missing = runIn(dir);
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.output.find("The file " + dir.path() + "planes.txt was not opened\n\n"),
            std::string::npos)
      << missing.output;
  std::filesystem::create_directory(dir.path() + "planes.txt");
  const ToolRun folder = runIn(dir);
  EXPECT_EQ(folder.status, 2);
  EXPECT_NE(folder.output.find("The file " + dir.path() + "planes.txt was not opened\n\n"),
            std::string::npos)
      << folder.output;
}

// Plane files of extreme but finite numbers, each run with every save option.
struct ExtremeCase {
  std::string name;
  std::string content;
  bool finiteResults;  // every number the outputs derive stays finite
};

std::vector<ExtremeCase> extremeCases() {
  return {
      {"coordinates of 1e30",
       "3 0.05\n1 7 -1e30 -1e30 1e30 -1e30 1e30 -1e30 0 0 1 0 0 1e30 13 132\n"
       "1 8 -1e30 -1e30 1e30 -1e30 1e30 0 0 -1e30 0 0 1 1e30 5 2\n"
       "1 1 1e30 -1e30 1e30 -1e30 1e30 1e30 0 0 1 0 0 1e30 1 2\n",
       true},
      {"coordinates and resolution near the float limit",
       "3 3e38\n1 7 -3e38 -3e38 3e38 -3e38 3e38 0 0 0 1 0 0 3e38 13 132\n"
       "1 1 3e38 -3e38 3e38 -3e38 3e38 0 0 0 1 0 0 3e38 1 2\n"
       "1 2 3e38 -3e38 3e38 -3e38 3e38 0 0 0 0 1 0 3e38 1 1e30\n",
       false},
      {"subnormal and negative resolution",
       "2 -1e-45\n1 3 1e-45 -1e-45 1e-45 -1e-45 1e-45 0 0 0 0 0 1 0 14.9 -1e10\n" + kBedTop,
       true},
      {"every plane at the origin", "2 0.05\n1 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n"
                                    "1 3 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n",
       true},
      {"no planes", "0 0.05\n", true},
      {"unknown plane types", "4 0.05\n1 0 1 -1 1 -1 1 0 0 0 1 0 0 -1 2 0\n"
                              "1 10 1 -1 1 -1 1 0 0 0 1 0 0 -1 2 0\n"
                              "1 -7 1 -1 1 -1 1 0 0 0 1 0 0 -1 2 0\n"
                              "1 7.5 1 -1 1 -1 1 0 0 0 1 0 0 -1 2 0\n",
       true},
      {"tabs, carriage returns and extra numbers",
       "2\t0.05\r\n" + kWall.substr(0, kWall.size() - 1) + "\r\n" + kBedTop + " 7 8 9 trailing",
       true},
  };
}

TEST(HostileInputTest, ExtremeButFiniteNumbersCompleteWithReadableOutputs) {
  const std::vector<ExtremeCase> cases = extremeCases();
  for (const ExtremeCase& c : cases) {
    for (const char* option : {"0", "1", "2", "3"}) {
      TempDir dir;
      writeSmallPanorama(dir);
      dir.write("planes.txt", c.content);
      const std::string context = c.name + ", option " + option;
      const ToolRun run = runIn(dir, option);
      expectComplete(run, context);
      // Widening planes by three steps of a resolution near the float limit
      // overflows to infinity, and the scene description then holds nan, as
      // its number format prescribes: not JSON, but the run completes.
      const SceneJson scene = readSceneJson(readWholeFile(dir.path() + "room.JSON"));
      EXPECT_EQ(scene.parsed, c.finiteResults) << context << ": " << scene.error;
      if (c.finiteResults) {
        EXPECT_TRUE(scene.shapeValid) << context;
      }
      EXPECT_EQ(std::atoi(readWholeFile(dir.path() + "room_cuboid.txt").c_str()),
                consoleNumber(run.output, "Number of cube generated: ") + 1)
          << context;
    }
  }
}

// The baked model and the preview on the same files: each run completes
// with a GLB the glTF Validator accepts, or, where the numbers have no
// direction (not finite after plane widening), stops with a message naming
// the entry; never with a signal.
TEST(HostileInputTest, ExtremeNumbersWithTheBakeAndThePreviewCompleteOrStopWithAMessage) {
  for (const ExtremeCase& c : extremeCases()) {
    TempDir dir;
    writeSmallPanorama(dir);
    dir.write("planes.txt", c.content);
    const ToolRun run =
        runTool(dir.path(), "planes.txt", "room", "2", 120,
                "--glb --baked-obj --preview --acoustics");
    if (c.finiteResults) {
      expectComplete(run, c.name);
      // The acoustics file, written for every room with a room box, holds
      // finite numbers only.
      const std::string acoustics = readWholeFile(dir.path() + "room-acoustics.json");
      if (c.name == "no planes") {
        EXPECT_TRUE(acoustics.empty());
      }
      EXPECT_EQ(acoustics.find("nan"), std::string::npos) << c.name;
      EXPECT_EQ(acoustics.find("inf"), std::string::npos) << c.name;
      EXPECT_EQ(acoustics.find("null"), std::string::npos) << c.name;
      EXPECT_TRUE(validGltf(dir.path() + "room.glb")) << c.name;
      EXPECT_TRUE(std::filesystem::exists(dir.path() + "room-preview.png")) << c.name;
      EXPECT_TRUE(std::filesystem::exists(dir.path() + "room-baked.obj")) << c.name;
    } else {
      EXPECT_EQ(run.status, 2) << c.name << "\n" << run.output << run.errors;
      EXPECT_NE(lastLine(run.output).find(" has coordinates that are not finite numbers"),
                std::string::npos)
          << run.output;
      EXPECT_EQ(run.errors.find("Sanitizer"), std::string::npos) << run.errors;
      EXPECT_EQ(run.errors.find("runtime error"), std::string::npos) << run.errors;
    }
  }
}

// The impulse response on the same files: a complete run whose WAV file
// stays under its length cap and holds finite samples only, or a message;
// never a signal.
TEST(HostileInputTest, ExtremeNumbersWithTheImpulseResponseStayUnderTheCap) {
  for (const ExtremeCase& c : extremeCases()) {
    if (!c.finiteResults) continue;
    TempDir dir;
    writeSmallPanorama(dir);
    dir.write("planes.txt", c.content);
    const ToolRun run = runTool(dir.path(), "planes.txt", "room", "0", 120, "--rir --rir-length 0.5");
    EXPECT_TRUE(run.status == 1 || (run.status == 2 && !lastLine(run.output).empty()))
        << c.name << "\n" << run.output << run.errors;
    EXPECT_EQ(run.errors.find("Sanitizer"), std::string::npos) << run.errors;
    const std::string wav = readWholeFile(dir.path() + "room-rir.wav");
    if (wav.empty()) continue;
    // 0.5 s of one channel at 48 kHz, and a header of less than 100 bytes.
    EXPECT_LE(wav.size(), 24000u * 4u + 100u) << c.name;
    const std::size_t data = wav.find("data", 12);
    ASSERT_NE(data, std::string::npos) << c.name;
    std::size_t notFinite = 0;
    for (std::size_t at = data + 8; at + 4 <= wav.size(); at += 4) {
      float sample = 0.0f;
      std::memcpy(&sample, wav.data() + at, 4);
      if (!std::isfinite(sample)) ++notFinite;
    }
    EXPECT_EQ(notFinite, 0u) << c.name;
  }
}

#if !defined(__SANITIZE_ADDRESS__)
// Under an address-space limit (ulimit -v) the example room with every
// option ends as a complete run or with "Out of memory", whatever step the
// limit hits: the bake's worker threads and OpenCV's allocations included.
// (AddressSanitizer reserves far more address space than any such limit.)
TEST(HostileInputTest, AnAddressSpaceLimitEndsWithDoneOrOutOfMemory) {
  TempDir dir;
  copyExampleRoom(dir);
  for (const int kilobytes : {200000, 215000, 230000, 245000, 260000, 300000}) {
    const CommandRun run = runCommand("ulimit -v " + std::to_string(kilobytes) + " && " +
                                      quoted(ROOMBOX_BINARY) + " " + quoted(dir.path()) +
                                      " planes.txt room 2 --glb --baked-obj --preview 2>&1");
    SCOPED_TRACE(kilobytes);
    ASSERT_TRUE(run.status == 1 || run.status == 2) << run.status << "\n" << run.output;
    EXPECT_EQ(lastLine(run.output), run.status == 1 ? "Done!!!" : "Out of memory");
  }
}
#endif

// Builds a PNG file by hand: signature, an IHDR chunk declaring width x
// height 8-bit RGB, and the given IDAT payload (already deflated).
std::string pngWithHeader(std::uint32_t width, std::uint32_t height) {
  auto crc32 = [](const std::string& bytes) {
    std::uint32_t crc = 0xffffffffu;
    for (unsigned char byte : bytes) {
      crc ^= byte;
      for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xffffffffu;
  };
  auto bigEndian = [](std::uint32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (24 - 8 * i)) & 0xff);
    return bytes;
  };
  auto chunk = [&](const std::string& type, const std::string& data) {
    return bigEndian(static_cast<std::uint32_t>(data.size())) + type + data +
           bigEndian(crc32(type + data));
  };
  const std::string header =
      bigEndian(width) + bigEndian(height) + std::string("\x08\x02\x00\x00\x00", 5);
  // An empty stored deflate block: far too little data for the image.
  const std::string data("\x78\x01\x01\x00\x00\xff\xff\x00\x00\x00\x01", 11);
  return std::string("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", data) +
         chunk("IEND", "");
}

TEST(HostileInputTest, APanoramaThatIsNoImageStopsBeforeThePlaneFile) {
  const std::string examplePng = readWholeFile(kExamplePanorama);
  struct Case {
    std::string name;
    std::string content;
  };
  const std::vector<Case> cases = {
      {"0-byte file", ""},
      {"text", "this is not an image\n"},
      {"binary garbage", garbage(20000, 7)},
      {"truncated PNG", examplePng.substr(0, examplePng.size() / 3)},
      {"PNG signature only", examplePng.substr(0, 8)},
      {"PNG header of 30000 x 30000 pixels without their data", pngWithHeader(30000, 30000)},
  };
  for (const Case& c : cases) {
    TempDir dir;
    std::filesystem::copy_file(kExamplePlanes, dir.path() + "planes.txt");
    dir.write("shifted_t.png", c.content);
    const ToolRun run = runIn(dir);
    expectStopped(run, "Cannot open the texture image - " + dir.path() + "shifted_t.png", c.name);
    EXPECT_EQ(run.output.find("plane info"), std::string::npos) << c.name;
    EXPECT_EQ(filesIn(dir.path()), (std::set<std::string>{"planes.txt", "shifted_t.png"}))
        << c.name;
  }
  TempDir dir;
  std::filesystem::copy_file(kExamplePlanes, dir.path() + "planes.txt");
  std::filesystem::create_directory(dir.path() + "shifted_t.png");
  expectStopped(runIn(dir), "Cannot open the texture image - " + dir.path() + "shifted_t.png",
                "a folder named shifted_t.png");
}

// OpenCV refuses to decode an image of more than 2^30 pixels by throwing
// cv::Exception out of cv::imread; the tool must report the panorama as
// unreadable like any other, not end in std::terminate.
TEST(HostileInputTest, APanoramaDeclaringTooManyPixelsIsRejected) {
  TempDir dir;
  std::filesystem::copy_file(kExamplePlanes, dir.path() + "planes.txt");
  dir.write("shifted_t.png", pngWithHeader(100000, 100000));
  expectStopped(runIn(dir), "Cannot open the texture image - " + dir.path() + "shifted_t.png",
                "PNG header of 100000 x 100000 pixels");
}

TEST(HostileInputTest, UnusualPanoramasAreLoadedAsEightBitColour) {
  struct Case {
    std::string name;
    cv::Mat image;
    cv::Vec3b firstPixel;  // expected BGR of pixel (0, 0) of the texture
  };
  cv::Mat gray(32, 64, CV_8UC1, cv::Scalar(77));
  cv::Mat deep(32, 64, CV_16UC3, cv::Scalar(0x1234, 0xabcd, 0xff00));
  cv::Mat alpha(32, 64, CV_8UC4, cv::Scalar(10, 20, 30, 0));
  cv::Mat single(1, 1, CV_8UC3, cv::Scalar(40, 50, 60));
  cv::Mat black(32, 64, CV_8UC3, cv::Scalar(0, 0, 0));
  const std::vector<Case> cases = {
      {"grayscale", gray, cv::Vec3b(77, 77, 77)},
      {"16 bits per channel", deep, cv::Vec3b(0x12, 0xab, 0xff)},
      {"RGBA, fully transparent", alpha, cv::Vec3b(10, 20, 30)},
      {"1 x 1 pixel", single, cv::Vec3b(40, 50, 60)},
      {"all black", black, cv::Vec3b(0, 0, 0)},
  };
  for (const Case& c : cases) {
    for (const char* option : {"2", "3"}) {
      const std::string context = c.name + ", option " + option;
      TempDir dir;
      std::filesystem::copy_file(kExamplePlanes, dir.path() + "planes.txt");
      ASSERT_TRUE(cv::imwrite(dir.path() + "shifted_t.png", c.image)) << c.name;
      const ToolRun run = runIn(dir, option);
      expectComplete(run, context);
      EXPECT_EQ(consoleNumber(run.output, "Total f: "), 144) << context;
      const cv::Mat texture = cv::imread(dir.path() + "room-texture.png", cv::IMREAD_UNCHANGED);
      ASSERT_EQ(texture.type(), CV_8UC3) << context;
      ASSERT_EQ(texture.size(), c.image.size()) << context;
      EXPECT_EQ(texture.at<cv::Vec3b>(0, 0), c.firstPixel) << context;
      const cv::Mat loaded = cv::imread(dir.path() + "shifted_t.png", cv::IMREAD_COLOR);
      EXPECT_EQ(cv::norm(texture, loaded, cv::NORM_INF), 0.0) << context;
    }
  }
}

// The messages of the output files, in the order a run writes them, for
// save option 2 (texture, cuboid text, JSON, textured OBJ, material file).
struct OutputFile {
  std::string name;
  std::string openFailure;  // first words of the message when it cannot be opened
};
const std::vector<OutputFile> kOption2Outputs = {
    {"room-texture.png", "Cannot write "},
    {"room_cuboid.txt", "Cannot open "},
    {"room.JSON", "Cannot open "},
    {"room-rect.obj", "Cannot open "},
    {"room-rect.obj.mtl", "Cannot make "},
};

TEST(HostileInputTest, AnOutputFolderThatCannotBeWrittenIsNamed) {
  struct Case {
    std::string prefix;
    std::string failedPath;  // below the base path
  };
  const std::vector<Case> cases = {
      {"missing-folder/room", "missing-folder/room-texture.png"},
      {"planes.txt/room", "planes.txt/room-texture.png"},  // a regular file as folder
      {"shifted_t.png/deeper/room", "shifted_t.png/deeper/room-texture.png"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    writeSmallPanorama(dir);
    std::filesystem::copy_file(kExamplePlanes, dir.path() + "planes.txt");
    const ToolRun run = runIn(dir, "2", c.prefix);
    expectStopped(run, "Cannot write " + dir.path() + c.failedPath, c.prefix);
    EXPECT_EQ(filesIn(dir.path()), (std::set<std::string>{"planes.txt", "shifted_t.png"}))
        << c.prefix;
  }
}

TEST(HostileInputTest, AnOutputNameTakenByAFolderStopsAtThatFile) {
  struct Case {
    std::string option;
    std::string name;
    std::string message;
  };
  std::vector<Case> cases;
  for (const OutputFile& output : kOption2Outputs) {
    cases.push_back({"2", output.name, output.openFailure});
  }
  cases.push_back({"0", "room-rect-Object.obj", "Cannot open "});
  cases.push_back({"1", "room-rect-Object-colour.obj", "Cannot open "});
  cases.push_back({"3", "room-rect-Object.off", "Cannot open "});
  for (const Case& c : cases) {
    TempDir dir;
    writeSmallPanorama(dir);
    std::filesystem::copy_file(kExamplePlanes, dir.path() + "planes.txt");
    std::filesystem::create_directory(dir.path() + c.name);
    expectStopped(runIn(dir, c.option), c.message + dir.path() + c.name,
                  c.name + ", option " + c.option);
  }
}

TEST(HostileInputTest, AWriteThatFailsStopsWithCannotWrite) {
  // Each output in turn is a link to /dev/full, on which every write fails
  // with "no space left on device".
  std::vector<std::pair<std::string, std::string>> cases;  // option, output name
  for (const OutputFile& output : kOption2Outputs) cases.push_back({"2", output.name});
  cases.push_back({"0", "room-rect-Object.obj"});
  cases.push_back({"1", "room-rect-Object-colour.obj"});
  cases.push_back({"3", "room-rect-Object.off"});
  for (const auto& c : cases) {
    TempDir dir;
    writeSmallPanorama(dir);
    std::filesystem::copy_file(kExamplePlanes, dir.path() + "planes.txt");
    std::filesystem::create_symlink("/dev/full", dir.path() + c.second);
    expectStopped(runIn(dir, c.first), "Cannot write " + dir.path() + c.second,
                  c.second + " on /dev/full, option " + c.first);
  }
}

// A tmpfs of 32 pages mounted on a folder, unmounted when the test ends.
class TinyFileSystem {
 public:
  explicit TinyFileSystem(const std::string& folder) : folder_(folder) {
    std::filesystem::create_directory(folder_);
    if (::mount("tmpfs", folder_.c_str(), "tmpfs", 0, "size=128k") == 0) {
      mounted_ = true;
    } else {
      error_ = std::strerror(errno);
    }
  }
  ~TinyFileSystem() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  TinyFileSystem(const TinyFileSystem&) = delete;
  TinyFileSystem& operator=(const TinyFileSystem&) = delete;

  bool mounted() const { return mounted_; }
  const std::string& error() const { return error_; }

  // Fills the file system up, then frees exactly freePages pages of 4096
  // bytes; every other file is removed first.
  void leaveFree(std::uintmax_t freePages) {
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
      std::filesystem::remove_all(entry.path());
    }
    const std::string filler = folder_ + "/filler";
    {
      std::ofstream out(filler, std::ios::binary);
      const std::string page(4096, 'x');
      while (out.write(page.data(), page.size())) {
      }
    }
    const std::uintmax_t size = std::filesystem::file_size(filler);
    std::filesystem::resize_file(filler, size - std::min(size, freePages * 4096));
  }

 private:
  std::string folder_;
  bool mounted_ = false;
  std::string error_;
};

TEST(HostileInputTest, AFullDiskStopsAtTheFirstOutputThatDoesNotFit) {
  TempDir dir;
  cv::Mat plain(32, 64, CV_8UC3, cv::Scalar(90, 160, 200));  // encodes to a few bytes
  ASSERT_TRUE(cv::imwrite(dir.path() + "shifted_t.png", plain));
  std::filesystem::copy_file(kExamplePlanes, dir.path() + "planes.txt");

  // Output sizes in pages, from a run on an ordinary folder.
  const ToolRun reference = runIn(dir, "2", "reference");
  ASSERT_EQ(reference.status, 1) << reference.output;
  std::vector<std::uintmax_t> pages;
  for (const OutputFile& output : kOption2Outputs) {
    const std::string name = "reference" + output.name.substr(4);
    pages.push_back((std::filesystem::file_size(dir.path() + name) + 4095) / 4096);
  }

  TinyFileSystem disk(dir.path() + "full");
  if (!disk.mounted()) {
    GTEST_SKIP() << "cannot mount a tmpfs here (" << disk.error()
                 << "); write failures are covered by the /dev/full cases";
  }
  // The outputs in the order they are written: the cuboid text a second
  // time after the scene description. Each is written beside its final name
  // and renamed when complete, so rewriting the cuboid text needs room for a
  // second copy while the first one stands.
  struct Step {
    std::size_t output;  // index into kOption2Outputs
    bool rewrite;
  };
  const std::vector<Step> steps = {{0, false}, {1, false}, {2, false}, {1, true},
                                   {3, false}, {4, false}};
  std::uintmax_t used = 0;    // pages of the outputs written before step k
  std::uintmax_t needed = 0;  // free pages the steps before k need
  for (std::size_t k = 0; k <= steps.size(); ++k) {
    disk.leaveFree(needed);
    const ToolRun run = runIn(dir, "2", "full/room");
    if (k == steps.size()) {
      expectComplete(run, "room for every output");
      break;
    }
    const std::string name = kOption2Outputs[steps[k].output].name;
    const std::uintmax_t size = pages[steps[k].output];
    ASSERT_GT(used + size, needed) << name << " would fit: the step proves nothing";
    expectStopped(run, "Cannot write " + dir.path() + "full/" + name,
                  std::to_string(needed) + " pages free, " + name + " does not fit");
    // What did not fit is not under its name (or, rewritten, is still the
    // complete earlier copy), and no temporary file is left.
    const std::string path = dir.path() + "full/" + name;
    if (steps[k].rewrite) {
      EXPECT_EQ(readWholeFile(path), readWholeFile(dir.path() + "reference" + name.substr(4)));
    } else {
      EXPECT_FALSE(std::filesystem::exists(path)) << name;
    }
    for (const std::string& file : filesIn(dir.path() + "full")) {
      EXPECT_EQ(file.find(".roombox-tmp-"), std::string::npos) << file;
    }
    needed = std::max(needed, used + size);
    if (!steps[k].rewrite) used += size;
  }
}

}  // namespace
