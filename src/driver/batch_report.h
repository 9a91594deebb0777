#pragma once

#include "driver/dataset.h"

#include <map>
#include <string>
#include <vector>

namespace roombox {

// The batch report: one JSON object per line and room, appended as each
// room ends.

// One input file of a room as it was when the room began.
struct InputStamp {
  std::string name;  // file name within the room folder
  FileStamp stamp;
};

// What the report says about one room.
struct RoomRecord {
  std::string room;                  // the room folder as the batch names it
  bool done = false;                 // status "done", else "failed"
  std::string message;               // the failure's text, without its line feed
  double seconds = 0.0;              // wall time of the room
  int planes = -1;                   // counts of a done room; -1 (null) when failed
  int cuboids = -1;
  int faces = -1;
  std::vector<std::string> outputs;  // names of the files written in the room folder
  std::vector<InputStamp> inputs;    // plane info file and panorama
};

// Seconds with millisecond precision ("12.345"), as the report and the
// progress lines show them, whatever the locale.
std::string secondsText(double seconds);

// The record as one line of JSON (line feed included). Text that is not
// valid UTF-8 is written with U+FFFD in place of each invalid byte; a room
// name that is not valid UTF-8 also gets "room_hex", its bytes in hex, so
// that a later --resume finds the room again.
std::string formatReportLine(const RoomRecord& record);

// The report file at path opened for appending records: emptied first
// unless keep (--resume). Throws Error when it cannot be opened.
int openReport(const std::string& path, bool keep);

// Appends one record's line to the report in a single write, so that lines
// of rooms ending together never mix. Returns false when it cannot be
// written completely.
bool appendReportLine(int report, const std::string& line);

// The last record of each room in the report at path, by room name. A
// missing report gives none; lines that are no complete record (such as
// one cut short when a run was killed) are passed over.
std::map<std::string, RoomRecord> readReport(const std::string& path);

}  // namespace roombox
