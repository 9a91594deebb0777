#include "driver/batch_report.h"

#include "roombox/error.h"
#include "scene/json_writer.h"

#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace roombox {

namespace {

std::string hexOf(const std::string& bytes) {
  static const char kHex[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : bytes) {
    hex += kHex[c >> 4];
    hex += kHex[c & 15];
  }
  return hex;
}

// The bytes of hex; false when it is no even run of lowercase hex digits.
bool bytesOf(const std::string& hex, std::string& bytes) {
  const auto digit = [](char c) {
    return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
  };
  if (hex.size() % 2 != 0) return false;
  bytes.clear();
  for (std::size_t k = 0; k < hex.size(); k += 2) {
    const int high = digit(hex[k]);
    const int low = digit(hex[k + 1]);
    if (high < 0 || low < 0) return false;
    bytes += static_cast<char>(high * 16 + low);
  }
  return true;
}

// A count as JSON: null for -1, a count the room never got.
std::string countJson(int value) { return value < 0 ? "null" : std::to_string(value); }

}  // namespace

std::string secondsText(double seconds) {
  const long long millis = static_cast<long long>(seconds * 1000.0 + 0.5);
  char text[32];
  std::snprintf(text, sizeof(text), "%lld.%03lld", millis / 1000, millis % 1000);
  return text;
}

std::string formatReportLine(const RoomRecord& r) {
  std::string line;
  JsonWriter json;
  openDocument(json, line, kUnlimitedJsonText, 0);
  escapedStringMember(json, "room", r.room);
  if (!isValidUtf8(r.room)) escapedStringMember(json, "room_hex", hexOf(r.room));
  escapedStringMember(json, "status", r.done ? "done" : "failed");
  escapedStringMember(json, "message", r.message);
  rawMember(json, "seconds", secondsText(r.seconds).c_str());
  rawMember(json, "planes", countJson(r.planes).c_str());
  rawMember(json, "cuboids", countJson(r.cuboids).c_str());
  rawMember(json, "faces", countJson(r.faces).c_str());
  beginArrayMember(json, "outputs");
  for (const std::string& output : r.outputs) escapedStringElement(json, output);
  endArray(json);
  beginArrayMember(json, "inputs");
  for (const InputStamp& input : r.inputs) {
    beginObjectElement(json);
    escapedStringMember(json, "file", input.name);
    rawMember(json, "size", std::to_string(input.stamp.size).c_str());
    rawMember(json, "mtime_ns", std::to_string(input.stamp.modifiedNanoseconds).c_str());
    endObject(json);
  }
  endArray(json);
  if (closeDocument(json) != JsonWriterError::Ok) {
    throw Error("Cannot format the report line of " + r.room);
  }
  return line + "\n";
}

int openReport(const std::string& path, bool keep) {
  const int report =
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | (keep ? 0 : O_TRUNC), 0666);
  if (report < 0) {
    throw Error("Cannot write the report " + path + ": " + std::strerror(errno));
  }
  return report;
}

bool appendReportLine(int report, const std::string& line) {
  std::size_t written = 0;
  while (written < line.size()) {
    const ssize_t n = ::write(report, line.data() + written, line.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<std::size_t>(n);
  }
  return true;
}

std::map<std::string, RoomRecord> readReport(const std::string& path) {
  std::map<std::string, RoomRecord> records;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    const nlohmann::json value = nlohmann::json::parse(line, nullptr, false);
    if (value.is_discarded() || !value.is_object()) continue;
    try {
      RoomRecord r;
      r.room = value.at("room").get<std::string>();
      if (value.contains("room_hex") && !bytesOf(value.at("room_hex").get<std::string>(), r.room)) {
        continue;
      }
      r.done = value.at("status").get<std::string>() == "done";
      r.message = value.at("message").get<std::string>();
      for (const nlohmann::json& output : value.at("outputs")) {
        r.outputs.push_back(output.get<std::string>());
      }
      for (const nlohmann::json& input : value.at("inputs")) {
        InputStamp stamp;
        stamp.name = input.at("file").get<std::string>();
        stamp.stamp.size = input.at("size").get<long long>();
        stamp.stamp.modifiedNanoseconds = input.at("mtime_ns").get<long long>();
        r.inputs.push_back(stamp);
      }
      records[r.room] = r;
    } catch (const nlohmann::json::exception&) {
      // A line of another shape is no record of ours.
    }
  }
  return records;
}

}  // namespace roombox
