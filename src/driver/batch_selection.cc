#include "driver/batch_selection.h"

#include "driver/batch_html.h"
#include "driver/dataset.h"

#include <filesystem>
#include <map>

namespace roombox {

namespace {

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

}  // namespace

std::vector<InputStamp> inputStamps(const BatchSettings& b, const std::string& room) {
  const std::string base = basePathOf(room);
  return {{b.planeFile, stampFile(base + b.planeFile)},
          {roomPanoramaName(), stampFile(base + roomPanoramaName())}};
}

bool doneBefore(const BatchSettings& b, const std::string& room, const RoomRecord* record) {
  if (record == nullptr || !record->done) return false;
  if (!sameInputs(record->inputs, inputStamps(b, room))) return false;
  std::vector<std::string> expected = runOutputNames(roomRunSettings(b, room, 0));
  expected.push_back(roomLogName(b));
  if (record->outputs != expected) return false;
  const std::string base = basePathOf(room);
  for (const std::string& name : expected) {
    if (!isRegularFile(base + name)) return false;
  }
  return true;
}

RoomSelection selectRooms(const BatchSettings& b, const std::vector<std::string>& candidates) {
  std::map<std::string, RoomRecord> earlier;
  if (b.resume) earlier = readReport(b.report);
  RoomSelection selection;
  for (const std::string& room : candidates) {
    if (b.listFile.empty() && !isRegularFile(basePathOf(room) + b.planeFile)) {
      // The report page's own folder is no room.
      std::error_code ignored;
      if (!b.html.empty() &&
          std::filesystem::equivalent(room, reportPageFilesFolder(b.html), ignored)) {
        continue;
      }
      ++selection.withoutPlanes;
      continue;
    }
    if (b.resume) {
      selection.strayRemoved += removeStrayTemporaryFiles(room);
      const auto found = earlier.find(room);
      if (doneBefore(b, room, found == earlier.end() ? nullptr : &found->second)) {
        ++selection.doneEarlier;
        continue;
      }
    }
    selection.rooms.push_back(room);
  }
  return selection;
}

}  // namespace roombox
