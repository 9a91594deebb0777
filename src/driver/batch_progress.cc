#include "driver/batch_progress.h"

namespace roombox {

namespace {

// Failures whose message the summary prints; the report has them all.
constexpr std::size_t kFailuresShown = 5;

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

void showRoomEnd(BatchProgress& p, const RoomRecord& record, FILE* out) {
  if (record.done) {
    ++p.done;
  } else {
    ++p.failed;
    if (p.failures.size() < kFailuresShown) p.failures.push_back(record.room + ": " + record.message);
  }
  if (!p.terminal) {
    if (record.done) {
      std::fprintf(out, "done %s (%s s)\n", record.room.c_str(),
                   secondsText(record.seconds).c_str());
    } else {
      std::fprintf(out, "failed %s: %s\n", record.room.c_str(), record.message.c_str());
    }
    std::fflush(out);
    return;
  }
  const double elapsed = secondsSince(p.started);
  const int finished = p.done + p.failed;
  const double rate = elapsed > 0.0 ? finished / elapsed : 0.0;
  const long long left = rate > 0.0 ? static_cast<long long>((p.total - finished) / rate + 0.5) : 0;
  std::fprintf(out, "\r%d/%d rooms, %d failed, %.2f rooms/s, %lld:%02lld left\033[K", finished,
               p.total, p.failed, rate, left / 60, left % 60);
  std::fflush(out);
}

void showBatchSummary(const BatchProgress& p, const BatchSkips& skips,
                      const std::string& planeFile, const std::string& report, FILE* out) {
  if (p.terminal && p.total > 0) std::fprintf(out, "\n");
  std::fprintf(out, "%d done, %d failed, %d skipped (%d done before, %d without %s), %s s\n",
               p.done, p.failed, skips.doneEarlier + skips.withoutPlanes, skips.doneEarlier,
               skips.withoutPlanes, planeFile.c_str(), secondsText(secondsSince(p.started)).c_str());
  if (skips.strayRemoved > 0) {
    std::fprintf(out, "Removed %d temporary files of earlier runs\n", skips.strayRemoved);
  }
  for (const std::string& failure : p.failures) std::fprintf(out, "failed %s\n", failure.c_str());
  const int notShown = p.failed - static_cast<int>(p.failures.size());
  if (notShown > 0) std::fprintf(out, "... and %d more failures in %s\n", notShown, report.c_str());
  std::fflush(out);
}

}  // namespace roombox
