// roombox-batch --html end to end: the page of a dataset with the example
// room, generated rooms, failed rooms and rooms with hostile names, checked in
// headless Chromium (tools/report_page_browser), and the option's file names
// and failures.
#include "support/run_binary.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

namespace {

namespace fs = std::filesystem;

CommandRun runBatch(const std::string& arguments) {
  return runCommand(quoted(ROOMBOX_BATCH_BINARY) + " " + arguments + " 2>&1");
}

void copyExampleInto(const std::string& folder) {
  fs::create_directories(folder);
  for (const char* name : {"planes.txt", "shifted_t.png"}) {
    fs::copy_file(std::string(ROOMBOX_EXAMPLES) + "/" + name, folder + "/" + name);
  }
}

std::size_t occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

TEST(ReportPageTest, ThePageOfADatasetShowsEveryRoomSafelyInABrowser) {
  TempDir dir;
  const std::string data = dir.path() + "data";
  copyExampleInto(data + "/example");
  for (const auto& [room, options] : {std::pair<const char*, const char*>{"generated-1", "--rooms 3"},
                                      {"generated-2", "--rooms 1"}}) {
    fs::create_directories(data + "/" + room);
    ASSERT_EQ(runCommand(quoted(ROOMBOX_MAKE_EXAMPLE_ROOM) + " " + quoted(data + "/" + room) +
                         " " + options + " --width 512 --height 256 > /dev/null")
                  .status,
              0);
  }
  for (const char* name : {"bad-planes-1", "bad-planes-2"}) {
    copyExampleInto(data + "/" + name);
    std::ofstream(data + "/" + name + "/planes.txt") << "3 0.05\n1 2 oops\n";
  }
  // Names that would run script or make markup if written into the page as
  // they are; the second is a folder within a folder, named by the list.
  const std::string image = data + "/\"><img src=x onerror=window.__pwned=1>";
  const std::string script = data + "/<script>alert(1)</script>";
  copyExampleInto(image);
  copyExampleInto(script);
  std::ofstream list(dir.path() + "rooms.txt");
  for (const std::string& room : {data + "/example", data + "/generated-1", data + "/generated-2",
                                  data + "/bad-planes-1",
                                  data + "/bad-planes-2", image, script}) {
    list << room << "\n";
  }
  list.close();

  const CommandRun run = runBatch("--jobs 2 --glb --preview --html --list " +
                                  quoted(dir.path() + "rooms.txt") + " --report " +
                                  quoted(data + "/roombox-report.jsonl"));
  ASSERT_EQ(run.status, 1) << run.output;
  const std::string pagePath = data + "/roombox-report.html";
  const std::string page = readWholeFile(pagePath);
  // The page's own two script elements are the only ones, and no name left
  // its text.
  EXPECT_EQ(occurrences(page, "</script"), 2u);
  EXPECT_EQ(occurrences(page, "<img"), 1u);  // the detail's preview
  for (const char* file : {"three.min.js", "GLTFLoader.js", "OrbitControls.js"}) {
    EXPECT_TRUE(fs::is_regular_file(data + "/roombox-report-files/" + file)) << file;
  }

  if (access("/usr/bin/chromium", X_OK) != 0) GTEST_SKIP() << "no /usr/bin/chromium";
  const std::string artefacts = std::string(ROOMBOX_TEST_ARTEFACTS) + "/report-page";
  const CommandRun check = runCommand(
      "node " + quoted(std::string(ROOMBOX_REPORT_PAGE_BROWSER) + "/check_page.js") + " " +
      quoted(pagePath) + " " + quoted(data + "/roombox-report.jsonl") + " " + quoted(artefacts) +
      " --glb-room " + quoted(data + "/example") + " --glb " +
      quoted(data + "/example/room.glb") + " --hostile " + quoted(image) + " --hostile " +
      quoted(script) + " 2>&1");
  EXPECT_EQ(check.status, 0) << check.output;
}

TEST(ReportPageTest, ThePageIsNamedAfterTheReportAndAPageNotWrittenIsAFailure) {
  TempDir dir;
  const std::string data = dir.path() + "data";
  fs::create_directories(data);

  // Beside the report, named after it, also for a report elsewhere.
  CommandRun run = runBatch("--html " + quoted(data));
  EXPECT_EQ(run.status, 2) << run.output;
  EXPECT_NE(run.output.find("write DATASET before --html, or --html=FILE"), std::string::npos)
      << run.output;
  run = runBatch(quoted(data) + " --html");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(fs::is_regular_file(data + "/roombox-report.html"));
  // The page's folder within the dataset is not counted as a room skipped.
  run = runBatch(quoted(data) + " --html");
  EXPECT_NE(run.output.find("0 done, 0 failed, 0 skipped"), std::string::npos) << run.output;
  run = runBatch(quoted(data) + " --report " + quoted(dir.path() + "shard-1.jsonl") + " --html");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(fs::is_regular_file(dir.path() + "shard-1.html"));
  EXPECT_TRUE(fs::is_directory(dir.path() + "shard-1-files"));
  run = runBatch(quoted(data) + " --html=" + quoted(dir.path() + "page.htm"));
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(fs::is_regular_file(dir.path() + "page.htm"));

  // A page that cannot be written fails the batch, with the reason.
  run = runBatch(quoted(data) + " --html " + quoted(dir.path() + "missing/page.html"));
  EXPECT_EQ(run.status, 2) << run.output;
  EXPECT_NE(run.output.find("roombox-batch: Cannot"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("missing/"), std::string::npos) << run.output;
}

}  // namespace
