#pragma once

#include <string>
#include <vector>

namespace roombox {

// The report page: one HTML file showing every room of a batch, built from
// the report's lines. It opens from file:// with no server: its data, script
// and style are inside it, and the files of the 3D view sit in a folder
// beside it named after it (roombox-report.html gets roombox-report-files/):
// three.js with its glTF loader and orbit controls, and for each room with a
// GLB a small script that hands the GLB's bytes to the page (a page opened
// from file:// may load scripts from beside it, but may not read files).

// What the page shows besides the report's lines.
struct ReportPageSettings {
  std::string page;                  // the page's path
  std::string report;                // the report it shows
  std::string prefix = "room";       // the rooms' output prefix
  std::vector<std::string> command;  // the command line, program name first
  std::string date;                  // when the batch began, as shown
  double seconds = 0.0;              // the batch's time so far
  bool running = false;              // still running: the page reloads itself
  int withoutPlanes = 0;             // subfolders skipped for want of a plane info file
  int doneBefore = 0;                // rooms skipped by --resume
};

// The folder beside the page that holds its other files.
std::string reportPageFilesFolder(const std::string& page);

// Writes the page of settings.report at settings.page (each file under a
// temporary name first, as every output), and the files of its folder that
// are missing or older than what they come from. Throws Error when the
// report cannot be read or a file cannot be written.
void writeReportPage(const ReportPageSettings& settings);

// The time now as "2026-01-31 12:34:56 UTC".
std::string reportPageDate();

}  // namespace roombox

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace roombox {

// Rewrites a report page every period on a thread of its own, from the
// settings the callback gives at that moment, until it is destroyed. A page
// that cannot be written then is left for the next time (the caller writes
// the last page itself and reports its failure).
class PeriodicReportPage {
 public:
  PeriodicReportPage(std::function<ReportPageSettings()> settings,
                     std::chrono::milliseconds period);
  ~PeriodicReportPage();
  PeriodicReportPage(const PeriodicReportPage&) = delete;
  PeriodicReportPage& operator=(const PeriodicReportPage&) = delete;

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace roombox
