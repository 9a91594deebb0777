// The --rir options, run end to end with the built binary on the example
// room: the WAV file they add, the console text they leave alone, the
// preview's decay curves, and the positions and values they refuse.
#include "preview/decay_chart.h"
#include "preview/preview_style.h"
#include "roombox/impulse_response.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <opencv2/imgcodecs.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

BinaryRun runExample(const TempDir& dir, const std::string& extra) {
  copyExampleRoom(dir);
  return runRoombox(quoted(dir.path()) + " planes.txt room 0 " + extra);
}

// The channel count, rate and samples of a 32-bit float WAV file with the
// chunks in the order RIFF/WAVE, fmt, fact, data.
struct FloatWav {
  int channels = 0;
  int rate = 0;
  std::vector<float> samples;
};

FloatWav readFloatWav(const std::string& bytes) {
  FloatWav wav;
  const auto u32 = [&](std::size_t at) {
    std::uint32_t v = 0;
    for (int k = 3; k >= 0; --k) v = v << 8 | static_cast<unsigned char>(bytes[at + k]);
    return v;
  };
  if (bytes.size() < 58 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 8, "WAVEfmt ") != 0) {
    return wav;
  }
  if ((u32(20) & 0xFFFF) != 3) return wav;  // IEEE float
  wav.channels = static_cast<int>(u32(20) >> 16);
  wav.rate = static_cast<int>(u32(24));
  std::size_t at = 20 + u32(16);
  while (at + 8 <= bytes.size() && bytes.compare(at, 4, "data") != 0) at += 8 + u32(at + 4);
  if (at + 8 > bytes.size()) return wav;
  const std::size_t size = std::min<std::size_t>(u32(at + 4), bytes.size() - at - 8);
  wav.samples.resize(size / 4);
  std::memcpy(wav.samples.data(), bytes.data() + at + 8, wav.samples.size() * 4);
  return wav;
}

TEST(RirOptionTest, WritesTheResponseFromTheDefaultSourceAndChangesNoOtherOutput) {
  TempDir plain;
  TempDir withRir;
  const BinaryRun before = runExample(plain, "");
  const BinaryRun after = runExample(withRir, "--rir");
  EXPECT_EQ(after.status, 1);
  EXPECT_EQ(after.output, before.output);
  std::set<std::string> expected = filesIn(plain.path());
  expected.insert("room-rir.wav");
  EXPECT_EQ(filesIn(withRir.path()), expected);
  for (const std::string& name : filesIn(plain.path())) {
    EXPECT_EQ(withRir.read(name), plain.read(name)) << name;
  }

  const FloatWav wav = readFloatWav(withRir.read("room-rir.wav"));
  ASSERT_EQ(wav.channels, 1);
  ASSERT_EQ(wav.rate, 48000);
  // The default source is 1.5 m from the capture point: its direct sound
  // is the first sound, at 1.5 m / c, with amplitude 1 / (4 pi 1.5 m) (less
  // what the air takes on the way).
  std::size_t first = 0;
  float peak = 0.0f;
  for (std::size_t n = 0; n < wav.samples.size(); ++n) {
    ASSERT_TRUE(std::isfinite(wav.samples[n]));
    if (first == 0 && std::fabs(wav.samples[n]) > 0.01f) first = n;
    if (n < 300) peak = std::max(peak, std::fabs(wav.samples[n]));
  }
  EXPECT_NEAR(double(first), 1.5 / 343.2 * 48000, 2.0);
  EXPECT_NEAR(peak, 1.0 / (4 * M_PI * 1.5), 0.15 / (4 * M_PI * 1.5));
  // Until it has decayed, well under the cap.
  EXPECT_GT(wav.samples.size(), 48000u / 5);
  EXPECT_LT(wav.samples.size(), 48000u * 2);

  // The same bytes again; AmbiX at another rate.
  TempDir again;
  EXPECT_EQ(runExample(again, "--rir").status, 1);
  EXPECT_EQ(again.read("room-rir.wav"), withRir.read("room-rir.wav"));
  TempDir ambix;
  EXPECT_EQ(runExample(ambix, "--rir --rir-format ambix --rir-rate 44100 --rir-length 0.25 --rir-seed 5").status, 1);
  const FloatWav four = readFloatWav(ambix.read("room-rir.wav"));
  EXPECT_EQ(four.channels, 4);
  EXPECT_EQ(four.rate, 44100);
  EXPECT_EQ(four.samples.size(), 4u * 11025u);
}

TEST(RirOptionTest, ThePreviewGainsTheDecayCurvesOfTheResponseWritten) {
  TempDir acoustics;
  TempDir rir;
  ASSERT_EQ(runExample(acoustics, "--preview --acoustics").status, 1);
  ASSERT_EQ(runExample(rir, "--preview --rir --rir-format ambix --rir-length 0.3").status, 1);
  const cv::Mat chart = cv::imread(acoustics.path() + "room-preview.png", cv::IMREAD_UNCHANGED);
  const cv::Mat preview = cv::imread(rir.path() + "room-preview.png", cv::IMREAD_UNCHANGED);
  ASSERT_EQ(chart.type(), CV_8UC3);
  ASSERT_EQ(preview.type(), CV_8UC3);
  // The reverberation chart as with --acoustics, and below it a strip of a
  // quarter of the width.
  ASSERT_EQ(preview.cols, 2048);
  ASSERT_EQ(preview.rows, chart.rows + 2048 / 4);
  EXPECT_EQ(cv::norm(preview.rowRange(0, chart.rows), chart, cv::NORM_INF), 0.0);
  // Its curves are those of the file's W channel, cut at the cap.
  const FloatWav wav = readFloatWav(rir.read("room-rir.wav"));
  ASSERT_EQ(wav.channels, 4);
  roombox::ImpulseResponse response;
  response.sampleRate = wav.rate;
  response.channels = wav.channels;
  response.samples = wav.samples;
  roombox::RirSummary written;
  written.sampleRate = wav.rate;
  written.format = "ambix";
  written.truncated = true;
  written.decayDb = roombox::energyDecayCurves(response);
  cv::Mat expected(2048 / 4, 2048, CV_8UC3);
  roombox::drawDecayChart(written, roombox::previewStyle(2048), expected);
  EXPECT_EQ(cv::norm(preview.rowRange(chart.rows, preview.rows), expected, cv::NORM_INF), 0.0);
}

TEST(RirOptionTest, RefusesBadPositionsAndValuesBeforeWritingAnything) {
  struct Case {
    const char* options;
    const char* message;
  };
  const Case cases[] = {
      {"--rir --rir-source 100,0,0", "The impulse response's source 100,0,0 lies outside the room box"},
      {"--rir --rir-receiver -1.5,-1.3,-1.1",
       "The impulse response's receiver -1.5,-1.3,-1.1 lies inside the object box "},
      {"--rir --rir-source 1,2", "The impulse response's source is not three finite numbers"},
      {"--rir --rir-source 1,nan,0", "The impulse response's source is not three finite numbers"},
      {"--rir --rir-source 0,0,0", "The impulse response's source and receiver are less than 1 cm apart"},
      {"--rir --rir-format stereo", "--rir-format must be mono or ambix"},
      {"--rir --rir-rate 1000", "--rir-rate must be a whole number from 8000 to 192000"},
      {"--rir --rir-length 61", "--rir-length must be a number of seconds above 0 and at most 60"},
      {"--rir --rir-seed -1", "--rir-seed must be a whole number"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const BinaryRun run = runExample(dir, c.options);
    EXPECT_EQ(run.status, 2) << c.options;
    EXPECT_EQ(lastLine(run.output).rfind(c.message, 0), 0u) << c.options << "\n" << run.output;
    EXPECT_EQ(run.output.find("Saving"), std::string::npos) << c.options;
    EXPECT_EQ(filesIn(dir.path()).count("room.JSON"), 0u) << c.options;
    EXPECT_EQ(filesIn(dir.path()).count("room-rir.wav"), 0u) << c.options;
  }
}

TEST(RirOptionTest, BatchWritesEachDoneRoomsResponseAsRoomboxDoes) {
  TempDir dataset;
  for (const char* room : {"one/", "empty/"}) {
    std::filesystem::create_directory(dataset.path() + room);
    for (const char* name : {"planes.txt", "shifted_t.png"}) {
      std::filesystem::copy_file(std::string(ROOMBOX_EXAMPLES) + "/" + name,
                                 dataset.path() + room + name);
    }
  }
  dataset.write("empty/planes.txt", "0 0.05\n");  // no room box: no response
  const std::string options = "--rir --rir-format ambix --rir-length 0.25 --rir-seed 7";
  const CommandRun run = runCommand(quoted(ROOMBOX_BATCH_BINARY) + " --jobs 1 " + options + " " +
                                    quoted(dataset.path()) + " 2>&1");
  ASSERT_EQ(run.status, 0) << run.output;
  TempDir single;
  ASSERT_EQ(runExample(single, options).status, 1);
  const std::string expected = readWholeFile(single.path() + "room-rir.wav");
  EXPECT_EQ(readFloatWav(expected).channels, 4);
  EXPECT_TRUE(readWholeFile(dataset.path() + "one/room-rir.wav") == expected);
  EXPECT_EQ(filesIn(dataset.path() + "empty").count("room-rir.wav"), 0u);

  // The report lists the file where it was written, and only there.
  std::ifstream report(dataset.path() + "roombox-report.jsonl");
  std::string line;
  int lines = 0;
  while (std::getline(report, line)) {
    ++lines;
    const nlohmann::json record = nlohmann::json::parse(line);
    const nlohmann::json& outputs = record["outputs"];
    const bool listed = std::find(outputs.begin(), outputs.end(), "room-rir.wav") != outputs.end();
    EXPECT_EQ(record["status"], "done") << line;
    EXPECT_EQ(listed, record["room"].get<std::string>().find("empty") == std::string::npos)
        << line;
  }
  EXPECT_EQ(lines, 2);

  // A value out of range stops the batch before any room runs.
  std::filesystem::remove(dataset.path() + "one/room-log.txt");
  const CommandRun refused = runCommand(quoted(ROOMBOX_BATCH_BINARY) + " --rir --rir-rate 1000 " +
                                        quoted(dataset.path()) + " 2>&1");
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.output.find("--rir-rate must be a whole number from 8000 to 192000"),
            std::string::npos)
      << refused.output;
  EXPECT_EQ(filesIn(dataset.path() + "one").count("room-log.txt"), 0u);
}

}  // namespace
