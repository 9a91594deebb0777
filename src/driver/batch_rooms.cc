#include "driver/batch_rooms.h"

#include "common/cores.h"
#include "common/output_file.h"
#include "common/parallel.h"
#include "driver/batch_selection.h"
#include "driver/command_line.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <optional>

namespace roombox {

namespace {

// The failure being handled, for any exception at all.
Failure caughtFailure() {
  try {
    return currentFailure();
  } catch (...) {
    return {"Unexpected failure", false};
  }
}

}  // namespace

RoomRecord runOneRoom(const BatchSettings& b, const std::string& room, int roomThreads,
                      cv::Mat& panoramaMemory) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point started = Clock::now();
  RoomRecord record;
  record.room = room;
  try {
    const RunSettings s = roomRunSettings(b, room, roomThreads);
    record.inputs = inputStamps(b, room);
    OutputFile log;
    openOutputFile(s.basePath + roomLogName(b), log);
    std::optional<Failure> failure;
    int counts[3] = {-1, -1, -1};
    std::optional<RoomAcoustics> acoustics;
    try {
      const Reconstruction r = runRoom(s, log.file, &panoramaMemory, &acoustics);
      counts[0] = static_cast<int>(r.planes.planes.size());
      counts[1] = static_cast<int>(r.cuboids.size());
      counts[2] = static_cast<int>(r.rectangles.mesh.faces.size());
    } catch (...) {
      failure = caughtFailure();
      const std::string text = consoleText(*failure);
      std::fwrite(text.data(), 1, text.size(), log.file);
    }
    try {
      closeOutputFile(log);
    } catch (...) {
      // The run's own failure, when it had one, says more than its log's.
      if (!failure) failure = caughtFailure();
    }
    if (!failure) {
      record.done = true;
      record.planes = counts[0];
      record.cuboids = counts[1];
      record.faces = counts[2];
      record.outputs = runOutputNames(s);
      if (!acoustics) {
        // A room without a room box writes no acoustics file and no impulse
        // response.
        for (const char* ending : {"-acoustics.json", "-rir.wav"}) {
          const auto name = std::find(record.outputs.begin(), record.outputs.end(),
                                      s.outputPrefix + ending);
          if (name != record.outputs.end()) record.outputs.erase(name);
        }
      }
      record.outputs.push_back(roomLogName(b));
      if (s.acoustics && acoustics) {
        record.volume = acoustics->volume;
        record.rt60.assign(acoustics->rt60Eyring.begin(), acoustics->rt60Eyring.end());
      }
    } else {
      record.message = failure->message;
    }
  } catch (...) {
    record.done = false;
    record.message = caughtFailure().message;
  }
  record.seconds = std::chrono::duration<double>(Clock::now() - started).count();
  return record;
}

void runRooms(const BatchSettings& b, const std::vector<std::string>& rooms, int jobs,
              const RoomEnded& ended) {
  const int roomThreads = std::max(1, usableCores() / std::max(1, jobs));
  // The panorama memory of each worker's last room: the rooms of a dataset
  // mostly share one panorama size, and memory taken once saves the kernel
  // handing over and clearing fresh pages for every room.
  std::vector<cv::Mat> panoramaMemory(static_cast<std::size_t>(std::max(1, jobs)));
  std::mutex endedLock;
  runParallelWorkers(jobs, static_cast<int>(rooms.size()), [&](int worker, int k) {
    const RoomRecord record =
        runOneRoom(b, rooms[static_cast<std::size_t>(k)], roomThreads,
                   panoramaMemory[static_cast<std::size_t>(worker)]);
    const std::lock_guard<std::mutex> lock(endedLock);
    ended(record);
  });
}

}  // namespace roombox
