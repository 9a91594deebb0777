#include "driver/batch_command_line.h"

#include "driver/batch_html.h"
#include "driver/batch_options.h"
#include "driver/batch_progress.h"
#include "driver/batch_report.h"
#include "driver/batch_rooms.h"
#include "driver/batch_selection.h"
#include "driver/command_line.h"
#include "driver/dataset.h"
#include "roombox/error.h"

#include <opencv2/core.hpp>
#include <opencv2/core/utils/logger.hpp>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace roombox {

namespace {

constexpr int kAllDone = 0;
constexpr int kSomeFailed = 1;
constexpr int kCannotRun = 2;

int cannotRun(const std::string& message) {
  std::fprintf(stderr, "roombox-batch: %s\n", message.c_str());
  return kCannotRun;
}

// The rooms in flight when none is asked for: as many as the cores and the
// memory for the rooms' panoramas allow, and never more than the rooms.
int jobCount(const BatchSettings& b, const std::vector<std::string>& rooms) {
  int jobs = b.jobs;
  if (jobs <= 0) {
    std::vector<std::string> panoramas;
    for (const std::string& room : rooms) panoramas.push_back(basePathOf(room) + roomPanoramaName());
    jobs = defaultJobCount(panoramas);
  }
  return std::max(1, std::min(jobs, std::max(1, static_cast<int>(rooms.size()))));
}

}  // namespace

int runBatchCommandLine(int argc, const char* const* argv) {
  cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT);
  // A reader of the progress that goes away must not end the batch.
  std::signal(SIGPIPE, SIG_IGN);
  BatchSettings b;
  std::string text;
  switch (parseBatchCommandLine(argc, argv, b, text)) {
    case BatchAction::kHelp:
    case BatchAction::kVersion:
      std::fwrite(text.data(), 1, text.size(), stdout);
      return std::fflush(stdout) == 0 ? 0 : kCannotRun;
    case BatchAction::kUsageError:
      std::fprintf(stderr, "roombox-batch: %s\nRun with --help for more information.\n",
                   text.c_str());
      return kCannotRun;
    case BatchAction::kRun:
      break;
  }

  RoomSelection selection;
  int report = -1;
  try {
    const std::vector<std::string> candidates =
        b.listFile.empty() ? listDatasetRooms(b.dataset) : readRoomList(b.listFile);
    selection = selectRooms(b, selectShard(candidates, b.shardIndex, b.shardCount));
    report = openReport(b.report, b.resume);
  } catch (const Error& error) {
    return cannotRun(error.what());
  }

  BatchProgress progress;
  progress.terminal = ::isatty(STDOUT_FILENO) == 1;
  progress.total = static_cast<int>(selection.rooms.size());
  const auto pageSettings = [&, date = reportPageDate()](bool running) {
    ReportPageSettings page;
    page.page = b.html;
    page.report = b.report;
    page.prefix = b.prefix;
    page.command.assign(argv, argv + argc);
    page.date = date;
    page.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() -
                                                 progress.started).count();
    page.running = running;
    page.withoutPlanes = selection.withoutPlanes;
    page.doneBefore = selection.doneEarlier;
    return page;
  };
  // While the rooms run, the page is rewritten every 30 s.
  std::unique_ptr<PeriodicReportPage> pages;
  if (!b.html.empty()) {
    pages = std::make_unique<PeriodicReportPage>([&]() { return pageSettings(true); },
                                                 std::chrono::seconds(30));
  }
  bool reportFailed = false;
  try {
    runRooms(b, selection.rooms, jobCount(b, selection.rooms), [&](const RoomRecord& record) {
      if (!appendReportLine(report, formatReportLine(record))) reportFailed = true;
      showRoomEnd(progress, record, stdout);
    });
  } catch (...) {
    // Only the report and the progress can fail here: every room's own
    // failure is in its record.
    ::close(report);
    return cannotRun(currentFailure().message);
  }
  pages.reset();
  if (::close(report) != 0) reportFailed = true;

  BatchSkips skips;
  skips.doneEarlier = selection.doneEarlier;
  skips.withoutPlanes = selection.withoutPlanes;
  skips.strayRemoved = selection.strayRemoved;
  showBatchSummary(progress, skips, b.planeFile, b.report, stdout);
  if (reportFailed) return cannotRun("Cannot write the report " + b.report);
  if (!b.html.empty()) {
    try {
      writeReportPage(pageSettings(false));
    } catch (const Error& error) {
      return cannotRun(error.what());
    }
  }
  return progress.failed > 0 ? kSomeFailed : kAllDone;
}

}  // namespace roombox
