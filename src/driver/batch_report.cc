#include "driver/batch_report.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>

namespace roombox {

namespace {

// Length of the valid UTF-8 sequence at text[at], 0 when none starts there.
std::size_t utf8Length(const std::string& text, std::size_t at) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned int lowest = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2;
    lowest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    lowest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    lowest = 0x10000;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  unsigned int code = lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(at + k) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(at + k) & 0x3F);
  }
  // Overlong forms, surrogates and values past Unicode are no valid UTF-8.
  if (code < lowest || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return 0;
  return length;
}

bool isValidUtf8(const std::string& text) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = utf8Length(text, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

// text as a JSON string, quotes included.
std::string jsonString(const std::string& text) {
  static const char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = utf8Length(text, at);
    if (length == 0) {
      out += "\\ufffd";
      ++at;
      continue;
    }
    const unsigned char c = static_cast<unsigned char>(text[at]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20 || c == 0x7F) {
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out.append(text, at, length);
    }
    at += length;
  }
  return out + "\"";
}

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

std::string count(int value) { return value < 0 ? "null" : std::to_string(value); }

}  // namespace

std::string formatReportLine(const RoomRecord& r) {
  // Seconds with millisecond precision, written without the locale.
  const long long millis = static_cast<long long>(r.seconds * 1000.0 + 0.5);
  char seconds[32];
  std::snprintf(seconds, sizeof(seconds), "%lld.%03lld", millis / 1000, millis % 1000);
  std::string line = "{\"room\":" + jsonString(r.room);
  if (!isValidUtf8(r.room)) line += ",\"room_hex\":\"" + hexOf(r.room) + "\"";
  line += ",\"status\":";
  line += r.done ? "\"done\"" : "\"failed\"";
  line += ",\"message\":" + jsonString(r.message);
  line += ",\"seconds\":";
  line += seconds;
  line += ",\"planes\":" + count(r.planes) + ",\"cuboids\":" + count(r.cuboids) +
          ",\"faces\":" + count(r.faces) + ",\"outputs\":[";
  for (std::size_t k = 0; k < r.outputs.size(); ++k) {
    line += (k == 0 ? "" : ",") + jsonString(r.outputs[k]);
  }
  line += "],\"inputs\":[";
  for (std::size_t k = 0; k < r.inputs.size(); ++k) {
    const InputStamp& input = r.inputs[k];
    line += (k == 0 ? "{\"file\":" : ",{\"file\":") + jsonString(input.name) +
            ",\"size\":" + std::to_string(input.stamp.size) +
            ",\"mtime_ns\":" + std::to_string(input.stamp.modifiedNanoseconds) + "}";
  }
  return line + "]}\n";
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
