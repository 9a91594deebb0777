// The report page kept fresh while a batch runs, and the date it shows.
#include "driver/batch_html.h"

#include <ctime>
#include <utility>

namespace roombox {

PeriodicReportPage::PeriodicReportPage(std::function<ReportPageSettings()> settings,
                                       std::chrono::milliseconds period)
    : thread_([this, settings = std::move(settings), period]() {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!wake_.wait_for(lock, period, [this]() { return stopping_; })) {
          lock.unlock();
          try {
            writeReportPage(settings());
          } catch (...) {
            // Tried again at the next period; the last page is the caller's.
          }
          lock.lock();
        }
      }) {}

PeriodicReportPage::~PeriodicReportPage() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

std::string reportPageDate() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[40];
  std::strftime(text, sizeof(text), "%Y-%m-%d %H:%M:%S UTC", &utc);
  return text;
}

}  // namespace roombox
