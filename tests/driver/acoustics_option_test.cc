// --acoustics, --materials and --air end to end: the example room's
// acoustics file beside an unchanged console, a materials file or air that
// cannot be used refused before anything is written, a room without a room
// box, and roombox-batch's report.
#include "support/run_binary.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// Every number of value (at any depth) is finite.
bool allFinite(const nlohmann::json& value) {
  if (value.is_number()) return std::isfinite(value.get<double>());
  if (!value.is_structured()) return true;
  for (const nlohmann::json& item : value) {
    if (!allFinite(item)) return false;
  }
  return true;
}

TEST(AcousticsOptionTest, ExampleRoomWritesTheAcousticsFileAndPrintsAsBefore) {
  TempDir plain;
  const ToolRun before = runExampleRoom(plain, "2");
  TempDir dir;
  copyExampleRoom(dir);
  const ToolRun run = runTool(dir.path(), "planes.txt", "room", "2", 120, "--acoustics --air 25,40");
  ASSERT_EQ(run.status, 1) << run.output;
  EXPECT_EQ(run.output, before.output);
  const nlohmann::json a = nlohmann::json::parse(readWholeFile(dir.path() + "room-acoustics.json"));
  EXPECT_TRUE(allFinite(a));
  EXPECT_EQ(a["conditions"]["temperature_c"], 25.0);
  EXPECT_EQ(a["conditions"]["relative_humidity"], 40.0);
  EXPECT_EQ(a["bands_hz"].size(), 7u);
  // The example room's boxes repeat (Bed_1 and Bed_2 are one bed): its air
  // is the room box less their union, 60.87 of 66.83 m^3.
  EXPECT_NEAR(a["room"]["volume"].get<double>(), 60.873, 1e-3);
  EXPECT_EQ(a["objects"].size(), 44u);
  for (const nlohmann::json& t : a["room"]["rt60_eyring"]) {
    EXPECT_GT(t.get<double>(), 0.3);
    EXPECT_LT(t.get<double>(), 0.8);
  }
  // Only the named outputs are there.
  EXPECT_EQ(filesIn(dir.path()).count("room-acoustics.json"), 1u);
  EXPECT_EQ(filesIn(dir.path()).size(), filesIn(plain.path()).size() + 1);
}

TEST(AcousticsOptionTest, AMaterialsFileOrAirThatCannotBeUsedIsRefusedBeforeAnyOutput) {
  struct Case {
    std::string options;
    std::string content;  // of my-table.json
    std::string message;
  };
  const std::vector<Case> cases = {
      {"--acoustics --materials my-table.json", "{\"materials\": [",
       "Cannot use the materials file my-table.json: the file: it is not JSON (error at byte 16)"},
      {"--acoustics --materials my-table.json",
       R"({"materials": [{"name": "felt", "description": "", "source": "",
           "absorption": [0.1, 0.2], "scattering": [0, 0, 0, 0, 0, 0, 0]}]})",
       "Cannot use the materials file my-table.json: materials[0] \"felt\": \"absorption\" has 2 "
       "values, not 7 (one per band from 125 Hz to 8 kHz)"},
      {"--acoustics --materials missing.json", "",
       "Cannot use the materials file missing.json: it cannot be opened"},
      {"--acoustics --air 20", "",
       "The option --air wants T,RH (temperature in degrees Celsius, relative humidity in "
       "percent), not \"20\""},
      {"--acoustics --air 20,150", "", "The relative humidity must be a number from 0 to 100 %"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    copyExampleRoom(dir);
    if (!c.content.empty()) dir.write("my-table.json", c.content);
    const std::set<std::string> inputs = filesIn(dir.path());
    // The materials file is named as the user gives it, from where roombox runs.
    const BinaryRun run = runRoombox("./ planes.txt room 2 " + c.options, dir.path());
    EXPECT_EQ(run.status, 2) << c.options;
    EXPECT_EQ(run.output, c.message + "\n") << c.options;
    EXPECT_EQ(filesIn(dir.path()), inputs) << c.options;
  }
}

TEST(AcousticsOptionTest, ARoomWithoutRoomBoxWritesNoAcousticsFile) {
  TempDir dir;
  copyExampleRoom(dir);
  dir.write("planes.txt", "0 0.05\n");
  const ToolRun run = runTool(dir.path(), "planes.txt", "room", "2", 120, "--acoustics --preview");
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_EQ(lastLine(run.output), "Done!!!");
  EXPECT_EQ(filesIn(dir.path()).count("room-acoustics.json"), 0u);
  EXPECT_EQ(filesIn(dir.path()).count("room-preview.png"), 1u);
}

TEST(AcousticsOptionTest, BatchReportGainsVolumeAndEyringTimes) {
  TempDir dataset;
  std::filesystem::create_directory(dataset.path() + "one");
  std::filesystem::create_directory(dataset.path() + "empty");
  for (const char* name : {"planes.txt", "shifted_t.png"}) {
    for (const char* room : {"one/", "empty/"}) {
      std::filesystem::copy_file(std::string(ROOMBOX_EXAMPLES) + "/" + name,
                                 dataset.path() + room + name);
    }
  }
  dataset.write("empty/planes.txt", "0 0.05\n");
  const CommandRun run = runCommand(quoted(ROOMBOX_BATCH_BINARY) + " --jobs 1 --acoustics " +
                                    quoted(dataset.path()) + " 2>&1");
  ASSERT_EQ(run.status, 0) << run.output;
  std::ifstream report(dataset.path() + "roombox-report.jsonl");
  std::string line;
  int lines = 0;
  while (std::getline(report, line)) {
    ++lines;
    const nlohmann::json record = nlohmann::json::parse(line);
    const nlohmann::json& outputs = record["outputs"];
    const bool listed =
        std::find(outputs.begin(), outputs.end(), "room-acoustics.json") != outputs.end();
    if (record["room"].get<std::string>().find("empty") != std::string::npos) {
      EXPECT_FALSE(record.contains("volume")) << line;
      EXPECT_FALSE(listed) << line;
    } else {
      EXPECT_NEAR(record["volume"].get<double>(), 60.87, 1e-6) << line;
      ASSERT_EQ(record["rt60"].size(), 7u) << line;
      EXPECT_TRUE(listed) << line;
    }
  }
  EXPECT_EQ(lines, 2);
  // A bad materials file stops the batch before any room runs.
  dataset.write("bad.json", "[1]");
  const CommandRun refused = runCommand(quoted(ROOMBOX_BATCH_BINARY) + " --materials " +
                                        quoted(dataset.path() + "bad.json") + " --acoustics " +
                                        quoted(dataset.path()) + " 2>&1");
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.output.find("bad.json: the file: it is no JSON object"), std::string::npos)
      << refused.output;
}

}  // namespace
