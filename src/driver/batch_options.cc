#include "driver/batch_options.h"

#include "driver/command_line.h"
#include "driver/dataset.h"
#include "roombox/acoustic_materials.h"
#include "roombox/error.h"
#include "roombox/version.h"
#include "roombox/view_config.h"

#include <CLI/CLI.hpp>

#include <filesystem>

namespace roombox {

namespace {

constexpr const char* kDescription =
    "roombox-batch runs roombox over every room of a dataset, several rooms at once in one\n"
    "process, and reports each room's outcome as a line of JSON.\n";

constexpr const char* kFooter =
    "DATASET is a folder whose immediate subfolders are rooms; a subfolder without the plane\n"
    "info file is skipped. Each room's outputs are those of\n"
    "  roombox ROOM/ PLANE_FILE PREFIX SAVE_OPTION [--preview] [--glb] [--baked-obj]\n"
    "          [--acoustics] [--materials FILE] [--air T,RH] [--rir] [--rir-* ...]\n"
    "and its console lines go to ROOM/PREFIX-log.txt.\n"
    "\n"
    "The report gets one JSON object per line and room, appended as the room ends: room,\n"
    "status (\"done\" or \"failed\"), message (the failure's text), seconds, planes, cuboids,\n"
    "faces, outputs (file names in the room folder) and inputs (size and modification time\n"
    "of the plane info file and the panorama). Without --resume the report starts empty.\n"
    "\n"
    "Exit status: 0 when every room is done, 1 when any failed, 2 for a usage error or a\n"
    "dataset, room list or report that cannot be read or written.\n";

}  // namespace

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
  app.add_flag("--acoustics", settings.acoustics, "also write PREFIX-acoustics.json in each room");
  app.add_option("--materials", settings.materialsFile,
                 "a JSON material table merged over the built-in one, as for roombox");
  std::string air;
  app.add_option("--air", air, "T,RH: air temperature (Celsius) and relative humidity (%)");
  app.add_flag("--rir", settings.rir, "also write PREFIX-rir.wav in each room");
  addRirOptions(app, settings.rirOptions);
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
  CLI::Option* html = app.add_option("--html", settings.html,
                                     "also write the report page, an HTML file that shows every "
                                     "room (default: the report's name with .html)")
                          ->expected(0, 1);
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
    text = error.what();
    return BatchAction::kUsageError;
  }
  std::error_code ignored;
  if (settings.dataset.empty() && settings.listFile.empty() && !settings.html.empty() &&
      std::filesystem::is_directory(settings.html, ignored)) {
    text = "--html took " + settings.html +
           " as the page's file: write DATASET before --html, or --html=FILE";
    return BatchAction::kUsageError;
  }
  if (settings.dataset.empty() == settings.listFile.empty()) {
    text = "Give either a DATASET folder or --list FILE";
    return BatchAction::kUsageError;
  }
  if (!shard.empty() && !parseShard(shard, settings.shardIndex, settings.shardCount)) {
    text = "--shard wants K/N with 1 <= K <= N, not " + shard;
    return BatchAction::kUsageError;
  }
  if (settings.prefix.empty() || settings.planeFile.empty()) {
    text = "--prefix and --plane-file must not be empty";
    return BatchAction::kUsageError;
  }
  settings.saveOption = parseSaveOption(saveOption.c_str());
  // A materials file, air or impulse response option that cannot be used
  // stops the batch before any room runs.
  try {
    if (!air.empty()) settings.air = parseAirOption(air);
    RunSettings rirCheck;
    if (settings.rir) readRirOptions(settings.rirOptions, rirCheck);
    if (!settings.materialsFile.empty()) readMaterialTable(settings.materialsFile);
  } catch (const Error& error) {
    text = error.what();
    return BatchAction::kUsageError;
  }
  if (settings.report.empty()) {
    settings.report = settings.dataset.empty() ? std::string("roombox-report.jsonl")
                                               : basePathOf(settings.dataset) +
                                                     "roombox-report.jsonl";
  }
  if (html->count() > 0 && settings.html.empty()) {
    const std::size_t dot = settings.report.rfind('.');
    const std::size_t slash = settings.report.rfind('/');
    const bool extension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    settings.html = settings.report.substr(0, extension ? dot : settings.report.size()) + ".html";
  }
  return BatchAction::kRun;
}

std::string basePathOf(const std::string& room) {
  return !room.empty() && room.back() == '/' ? room : room + "/";
}

RunSettings roomRunSettings(const BatchSettings& b, const std::string& room, int roomThreads) {
  RunSettings s;
  s.basePath = basePathOf(room);
  s.planeInfoFile = b.planeFile;
  s.outputPrefix = b.prefix;
  s.saveOption = b.saveOption;
  s.textureFileName = textureFileNameFor(b.prefix);
  s.preview = b.preview;
  s.glb = b.glb;
  s.bakedObj = b.bakedObj;
  s.acoustics = b.acoustics;
  s.materialsFile = b.materialsFile;
  s.air = b.air;
  s.rir = b.rir;
  if (b.rir) readRirOptions(b.rirOptions, s);
  s.threads = roomThreads;
  return s;
}

std::string roomLogName(const BatchSettings& b) { return b.prefix + "-log.txt"; }

std::string roomPanoramaName() { return ViewConfig{}.textureNames[kViewSlots]; }

}  // namespace roombox
