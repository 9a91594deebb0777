#include "driver/batch_command_line.h"

#include "common/cores.h"
#include "common/output_file.h"
#include "driver/batch_report.h"
#include "driver/command_line.h"
#include "driver/dataset.h"
#include "driver/run_sequence.h"
#include "roombox/error.h"
#include "roombox/version.h"
#include "roombox/view_config.h"

#include <CLI/CLI.hpp>
#include <opencv2/core.hpp>
#include <opencv2/core/utils/logger.hpp>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace roombox {

namespace {

constexpr int kAllDone = 0;
constexpr int kSomeFailed = 1;
constexpr int kCannotRun = 2;
// Failures whose message the summary prints; the report has them all.
constexpr std::size_t kFailuresShown = 5;

constexpr const char* kDescription =
    "roombox-batch runs roombox over every room of a dataset, several rooms at once in one\n"
    "process, and reports each room's outcome as a line of JSON.\n";

constexpr const char* kFooter =
    "DATASET is a folder whose immediate subfolders are rooms; a subfolder without the plane\n"
    "info file is skipped. Each room's outputs are those of\n"
    "  roombox ROOM/ PLANE_FILE PREFIX SAVE_OPTION [--preview] [--glb] [--baked-obj]\n"
    "and its console lines go to ROOM/PREFIX-log.txt.\n"
    "\n"
    "The report gets one JSON object per line and room, appended as the room ends: room,\n"
    "status (\"done\" or \"failed\"), message (the failure's text), seconds, planes, cuboids,\n"
    "faces, outputs (file names in the room folder) and inputs (size and modification time\n"
    "of the plane info file and the panorama). Without --resume the report starts empty.\n"
    "\n"
    "Exit status: 0 when every room is done, 1 when any failed, 2 for a usage error or a\n"
    "dataset, room list or report that cannot be read or written.\n";

// Milliseconds as "12.345".
std::string secondsText(double seconds) {
  const long long millis = static_cast<long long>(seconds * 1000.0 + 0.5);
  char text[32];
  std::snprintf(text, sizeof(text), "%lld.%03lld", millis / 1000, millis % 1000);
  return text;
}

// The folder of room with one trailing slash, as the base path of a run.
std::string basePathOf(const std::string& room) {
  return !room.empty() && room.back() == '/' ? room : room + "/";
}

std::string withoutLineFeed(std::string text) {
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

// The message of the exception being handled, for any exception at all.
std::string failureMessage() {
  try {
    return currentFailureMessage();
  } catch (...) {
    return "Unexpected failure\n";
  }
}

RunSettings runSettingsFor(const BatchSettings& b, const std::string& room, int roomThreads) {
  RunSettings s;
  s.basePath = basePathOf(room);
  s.planeInfoFile = b.planeFile;
  s.outputPrefix = b.prefix;
  s.saveOption = b.saveOption;
  s.textureFileName = b.prefix + "-texture.png";
  s.preview = b.preview;
  s.glb = b.glb;
  s.bakedObj = b.bakedObj;
  s.threads = roomThreads;
  return s;
}

std::string logNameOf(const BatchSettings& b) { return b.prefix + "-log.txt"; }

std::string panoramaName() { return ViewConfig{}.textureNames[kViewSlots]; }

// The plane info file and the panorama of room as they are now.
std::vector<InputStamp> inputStamps(const BatchSettings& b, const std::string& room) {
  const std::string base = basePathOf(room);
  return {{b.planeFile, stampFile(base + b.planeFile)},
          {panoramaName(), stampFile(base + panoramaName())}};
}

bool sameInputs(const std::vector<InputStamp>& a, const std::vector<InputStamp>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t k = 0; k < a.size(); ++k) {
    if (a[k].name != b[k].name || a[k].stamp.size < 0 ||
        a[k].stamp.size != b[k].stamp.size ||
        a[k].stamp.modifiedNanoseconds != b[k].stamp.modifiedNanoseconds) {
      return false;
    }
  }
  return true;
}

// Whether an earlier run's record shows room done with the inputs it has now
// and the outputs this run would write, all still there.
bool doneBefore(const BatchSettings& b, const std::string& room, const RoomRecord* record) {
  if (record == nullptr || !record->done) return false;
  if (!sameInputs(record->inputs, inputStamps(b, room))) return false;
  std::vector<std::string> expected = runOutputNames(runSettingsFor(b, room, 0));
  expected.push_back(logNameOf(b));
  if (record->outputs != expected) return false;
  const std::string base = basePathOf(room);
  for (const std::string& name : expected) {
    if (!isRegularFile(base + name)) return false;
  }
  return true;
}

// Runs one room as the roombox command would, its console lines (and the
// failure's message) written to its log file, and returns its record.
// panoramaMemory is the worker's panorama memory, kept between its rooms.
RoomRecord runOneRoom(const BatchSettings& b, const std::string& room, int roomThreads,
                      cv::Mat& panoramaMemory) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point started = Clock::now();
  const RunSettings s = runSettingsFor(b, room, roomThreads);
  RoomRecord record;
  record.room = room;
  record.inputs = inputStamps(b, room);
  try {
    OutputFile log;
    openOutputFile(s.basePath + logNameOf(b), log);
    std::string message;
    int counts[3] = {-1, -1, -1};
    try {
      const Reconstruction r = runRoom(s, log.file, &panoramaMemory);
      counts[0] = static_cast<int>(r.planes.planes.size());
      counts[1] = static_cast<int>(r.cuboids.size());
      counts[2] = r.rectangles.mesh.rectangleCount;
    } catch (...) {
      message = failureMessage();
      std::fwrite(message.data(), 1, message.size(), log.file);
    }
    try {
      closeOutputFile(log);
    } catch (...) {
      // The run's own failure, when it had one, says more than its log's.
      if (message.empty()) message = failureMessage();
      counts[0] = counts[1] = counts[2] = -1;
    }
    if (message.empty()) {
      record.done = true;
      record.planes = counts[0];
      record.cuboids = counts[1];
      record.faces = counts[2];
      record.outputs = runOutputNames(s);
      record.outputs.push_back(logNameOf(b));
    } else {
      record.message = withoutLineFeed(message);
    }
  } catch (...) {
    record.done = false;
    record.message = withoutLineFeed(failureMessage());
  }
  record.seconds = std::chrono::duration<double>(Clock::now() - started).count();
  return record;
}

// Progress and outcome of the rooms in flight, shared by the workers.
struct BatchProgress {
  std::mutex mutex;
  int reportFile = -1;
  bool reportFailed = false;
  bool terminal = false;
  int total = 0;
  int done = 0;
  int failed = 0;
  std::vector<std::string> failures;  // the first few, "room: message"
  std::chrono::steady_clock::time_point started;
};

// Appends record to the report in one write, so that lines of rooms ending
// together never mix.
void appendRecord(BatchProgress& p, const std::string& line) {
  std::size_t written = 0;
  while (written < line.size()) {
    const ssize_t n = ::write(p.reportFile, line.data() + written, line.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      p.reportFailed = true;
      return;
    }
    written += static_cast<std::size_t>(n);
  }
}

// Shows that record's room ended: the progress line redrawn on a terminal,
// else a line for the room.
void showRoomEnd(BatchProgress& p, const RoomRecord& record) {
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - p.started).count();
  if (!p.terminal) {
    if (record.done) {
      std::printf("done %s (%s s)\n", record.room.c_str(), secondsText(record.seconds).c_str());
    } else {
      std::printf("failed %s: %s\n", record.room.c_str(), record.message.c_str());
    }
    std::fflush(stdout);
    return;
  }
  const int finished = p.done + p.failed;
  const double rate = elapsed > 0.0 ? finished / elapsed : 0.0;
  const long long left = rate > 0.0 ? static_cast<long long>((p.total - finished) / rate + 0.5) : 0;
  std::printf("\r%d/%d rooms, %d failed, %.2f rooms/s, %lld:%02lld left\033[K", finished, p.total,
              p.failed, rate, left / 60, left % 60);
  std::fflush(stdout);
}

// Runs rooms on `jobs` threads, each room's record reported as it ends.
void runRooms(const BatchSettings& b, const std::vector<std::string>& rooms, int jobs,
              BatchProgress& progress) {
  const int cores = usableCores();
  const int roomThreads = std::max(1, cores / jobs);
  std::atomic<std::size_t> next{0};
  const auto work = [&]() {
    // The panorama memory of the worker's last room: the rooms of a dataset
    // mostly share one panorama size, and memory taken once saves the kernel
    // handing over and clearing fresh pages for every room.
    cv::Mat panoramaMemory;
    for (;;) {
      const std::size_t k = next.fetch_add(1);
      if (k >= rooms.size()) return;
      const RoomRecord record = runOneRoom(b, rooms[k], roomThreads, panoramaMemory);
      const std::string line = formatReportLine(record);
      const std::lock_guard<std::mutex> lock(progress.mutex);
      appendRecord(progress, line);
      if (record.done) {
        ++progress.done;
      } else {
        ++progress.failed;
        if (progress.failures.size() < kFailuresShown) {
          progress.failures.push_back(record.room + ": " + record.message);
        }
      }
      showRoomEnd(progress, record);
    }
  };
  std::vector<std::thread> pool;
  for (int t = 1; t < jobs; ++t) pool.emplace_back(work);
  work();
  for (std::thread& thread : pool) thread.join();
}

enum class BatchAction { kRun, kHelp, kVersion, kUsageError };

// Reads the command line into settings; text holds what to print for the
// other actions.
BatchAction parseBatchCommandLine(int argc, const char* const* argv, BatchSettings& settings,
                                  std::string& text) {
  CLI::App app{kDescription, "roombox-batch"};
  app.footer(kFooter);
  app.add_option("DATASET", settings.dataset, "folder whose immediate subfolders are rooms");
  app.add_option("--list", settings.listFile,
                 "file naming the room folders, one per line (instead of DATASET)");
  app.add_option("--plane-file", settings.planeFile, "plane info file name in each room")
      ->capture_default_str();
  app.add_option("--prefix", settings.prefix, "output file name prefix")->capture_default_str();
  std::string saveOption = "2";
  app.add_option("--save-option", saveOption,
                 "mesh file to write: 0, 1, 2 or 3, as for roombox (read like C's atoi)")
      ->capture_default_str();
  app.add_flag("--preview", settings.preview, "also write PREFIX-preview.png in each room");
  app.add_flag("--glb", settings.glb, "also write PREFIX.glb in each room");
  app.add_flag("--baked-obj", settings.bakedObj,
               "also write PREFIX-baked.obj, -baked.obj.mtl and -baked.jpg in each room");
  app.add_option("--jobs", settings.jobs,
                 "rooms in flight (default: the number of cores, lowered so that the "
                 "panoramas in flight fit in memory)")
      ->check(CLI::PositiveNumber);
  app.add_option("--report", settings.report,
                 "report file (default DATASET/roombox-report.jsonl, or roombox-report.jsonl "
                 "with --list)");
  app.add_flag("--resume", settings.resume,
               "skip rooms the report records as done whose inputs are unchanged, and remove "
               "temporary files that earlier runs left");
  std::string shard;
  app.add_option("--shard", shard,
                 "K/N: run only the rooms at positions K-1, K-1+N, ... of the sorted room list");
  app.set_version_flag("--version", std::string("roombox-batch ") + kVersion);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    text = app.help();
    return BatchAction::kHelp;
  } catch (const CLI::CallForVersion&) {
    text = app.version() + "\n";
    return BatchAction::kVersion;
  } catch (const CLI::ParseError& error) {
    text = std::string(error.what()) + "\n";
    return BatchAction::kUsageError;
  }
  if (settings.dataset.empty() == settings.listFile.empty()) {
    text = "Give either a DATASET folder or --list FILE\n";
    return BatchAction::kUsageError;
  }
  if (!shard.empty() && !parseShard(shard, settings.shardIndex, settings.shardCount)) {
    text = "--shard wants K/N with 1 <= K <= N, not " + shard + "\n";
    return BatchAction::kUsageError;
  }
  if (settings.prefix.empty() || settings.planeFile.empty()) {
    text = "--prefix and --plane-file must not be empty\n";
    return BatchAction::kUsageError;
  }
  settings.saveOption = parseSaveOption(saveOption.c_str());
  if (settings.report.empty()) {
    settings.report = settings.dataset.empty() ? std::string("roombox-report.jsonl")
                                               : basePathOf(settings.dataset) +
                                                     "roombox-report.jsonl";
  }
  return BatchAction::kRun;
}

int cannotRun(const std::string& message) {
  std::fprintf(stderr, "roombox-batch: %s", message.c_str());
  return kCannotRun;
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
      std::fprintf(stderr, "roombox-batch: %sRun with --help for more information.\n",
                   text.c_str());
      return kCannotRun;
    case BatchAction::kRun:
      break;
  }

  std::vector<std::string> candidates;
  try {
    candidates = b.listFile.empty() ? listDatasetRooms(b.dataset) : readRoomList(b.listFile);
  } catch (const Error& error) {
    return cannotRun(error.what());
  }
  const std::vector<std::string> shard = selectShard(candidates, b.shardIndex, b.shardCount);

  // Rooms to run: a dataset's subfolder without the plane info file is no
  // room; with --resume, rooms done before are passed over.
  std::map<std::string, RoomRecord> earlier;
  if (b.resume) earlier = readReport(b.report);
  std::vector<std::string> rooms;
  int withoutPlanes = 0;
  int doneEarlier = 0;
  int strayRemoved = 0;
  for (const std::string& room : shard) {
    if (b.listFile.empty() && !isRegularFile(basePathOf(room) + b.planeFile)) {
      ++withoutPlanes;
      continue;
    }
    if (b.resume) {
      strayRemoved += removeStrayTemporaryFiles(room);
      const auto found = earlier.find(room);
      if (doneBefore(b, room, found == earlier.end() ? nullptr : &found->second)) {
        ++doneEarlier;
        continue;
      }
    }
    rooms.push_back(room);
  }

  BatchProgress progress;
  progress.reportFile = ::open(b.report.c_str(),
                               O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | (b.resume ? 0 : O_TRUNC),
                               0666);
  if (progress.reportFile < 0) {
    return cannotRun("Cannot write the report " + b.report + ": " + std::strerror(errno) + "\n");
  }
  progress.terminal = ::isatty(STDOUT_FILENO) == 1;
  progress.total = static_cast<int>(rooms.size());
  progress.started = std::chrono::steady_clock::now();

  int jobs = b.jobs;
  if (jobs <= 0) {
    std::vector<std::string> panoramas;
    for (const std::string& room : rooms) panoramas.push_back(basePathOf(room) + panoramaName());
    jobs = defaultJobCount(panoramas);
  }
  jobs = std::max(1, std::min(jobs, std::max(1, progress.total)));
  runRooms(b, rooms, jobs, progress);
  if (progress.terminal && progress.total > 0) std::printf("\n");
  if (::close(progress.reportFile) != 0) progress.reportFailed = true;

  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - progress.started).count();
  std::printf("%d done, %d failed, %d skipped (%d done before, %d without %s), %s s\n",
              progress.done, progress.failed, doneEarlier + withoutPlanes, doneEarlier,
              withoutPlanes, b.planeFile.c_str(), secondsText(elapsed).c_str());
  if (strayRemoved > 0) std::printf("Removed %d temporary files of earlier runs\n", strayRemoved);
  for (const std::string& failure : progress.failures) std::printf("failed %s\n", failure.c_str());
  if (progress.failed > static_cast<int>(progress.failures.size())) {
    std::printf("... and %d more failures in %s\n",
                progress.failed - static_cast<int>(progress.failures.size()), b.report.c_str());
  }
  std::fflush(stdout);
  if (progress.reportFailed) return cannotRun("Cannot write the report " + b.report + "\n");
  return progress.failed > 0 ? kSomeFailed : kAllDone;
}

}  // namespace roombox
