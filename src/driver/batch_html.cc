#include "driver/batch_html.h"

#include "driver/batch_html_files.h"
#include "roombox/error.h"
#include "roombox/version.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

namespace roombox {

// The page's template, script and style (generated from data/report-page).
extern const char kReportPageHtml[];
extern const char kReportPageScript[];
extern const char kReportPageStyle[];

namespace {

namespace fs = std::filesystem;

// One report line's room as the page lists it, in the order of the columns
// named in the page's data; its outputs as the index of their list in
// outputLists.
nlohmann::json pageRow(const nlohmann::json& line, const std::string& folder,
                       const std::string& glbKey, nlohmann::json& outputLists,
                       std::map<std::string, std::size_t>& outputListIndex) {
  const auto number = [&](const char* key) -> nlohmann::json {
    const auto found = line.find(key);
    return found != line.end() && found->is_number() ? *found : nlohmann::json();
  };
  // RT60 at 500 Hz and 1 kHz: the third and fourth octave bands from 125 Hz.
  const auto rt60 = [&](std::size_t band) -> nlohmann::json {
    const auto found = line.find("rt60");
    if (found == line.end() || !found->is_array() || found->size() <= band) return nullptr;
    const nlohmann::json& value = (*found)[band];
    return value.is_number() ? value : nlohmann::json();
  };
  nlohmann::json outputs = nlohmann::json::array();
  const auto listed = line.find("outputs");
  if (listed != line.end() && listed->is_array()) {
    for (const nlohmann::json& name : *listed) {
      if (name.is_string()) outputs.push_back(name);
    }
  }
  // Rooms mostly share one list of outputs: each list is in the data once.
  const auto inserted = outputListIndex.emplace(
      outputs.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace), outputLists.size());
  if (inserted.second) outputLists.push_back(outputs);
  const auto text = [&](const char* key) {
    const auto found = line.find(key);
    return found != line.end() && found->is_string() ? found->get<std::string>() : std::string();
  };
  return nlohmann::json::array({text("room"), text("status") == "done" ? "done" : "failed",
                                text("message"), number("seconds"), number("planes"),
                                number("cuboids"), number("faces"), number("volume"), rt60(2),
                                rt60(3), folder, inserted.first->second, glbKey});
}

// The folder of a report line's room, its exact bytes when the name was not
// valid UTF-8.
std::string roomFolderOf(const nlohmann::json& line) {
  const auto hex = line.find("room_hex");
  if (hex != line.end() && hex->is_string()) {
    const std::string digits = hex->get<std::string>();
    const auto value = [](char c) {
      return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    };
    std::string bytes;
    bool valid = digits.size() % 2 == 0;
    for (std::size_t k = 0; valid && k < digits.size(); k += 2) {
      valid = value(digits[k]) >= 0 && value(digits[k + 1]) >= 0;
      if (valid) bytes += static_cast<char>(value(digits[k]) * 16 + value(digits[k + 1]));
    }
    if (valid) return bytes;
  }
  return line.at("room").get<std::string>();
}

// The report's last line of each room, in the order the rooms first appear.
std::vector<nlohmann::json> lastLinesByRoom(const std::string& report) {
  std::ifstream in(report, std::ios::binary);
  if (!in) throw Error("Cannot read the report " + report);
  std::vector<nlohmann::json> lines;
  std::map<std::string, std::size_t> indexOf;
  std::string text;
  while (std::getline(in, text)) {
    nlohmann::json line = nlohmann::json::parse(text, nullptr, false);
    // A line cut short by a killed run, or of another shape, is passed over.
    if (line.is_discarded() || !line.is_object() || !line.contains("room") ||
        !line["room"].is_string()) {
      continue;
    }
    const std::string room = roomFolderOf(line);
    const auto found = indexOf.find(room);
    if (found == indexOf.end()) {
      indexOf[room] = lines.size();
      lines.push_back(std::move(line));
    } else {
      lines[found->second] = std::move(line);
    }
  }
  if (in.bad()) throw Error("Cannot read the report " + report);
  return lines;
}

// The path from the page's folder to a room's folder, '/' between parts.
std::string relativeFolder(const fs::path& pageFolder, const std::string& room) {
  const fs::path folder = fs::absolute(room).lexically_normal();
  fs::path relative = folder.lexically_relative(pageFolder);
  if (relative.empty()) relative = folder;
  std::string text = relative.generic_string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

// argument as a shell would need it written.
std::string shellWord(const std::string& argument) {
  if (!argument.empty() &&
      argument.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                 "0123456789-_./=:,+@%") == std::string::npos) {
    return argument;
  }
  std::string quoted = "'";
  for (char c : argument) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// JSON made safe inside a <script> element: no '<' that could close it, and
// no '>' or '&' either (they appear only within strings, where \u escapes
// read the same).
std::string scriptSafeJson(const nlohmann::json& value) {
  const std::string json = value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  std::string safe;
  safe.reserve(json.size() + json.size() / 16);
  for (char c : json) {
    if (c == '<') {
      safe += "\\u003c";
    } else if (c == '>') {
      safe += "\\u003e";
    } else if (c == '&') {
      safe += "\\u0026";
    } else {
      safe += c;
    }
  }
  return safe;
}

// template with each "{{name}}" replaced by its value, once, in order.
std::string filledTemplate(const std::string& page,
                           const std::vector<std::pair<std::string, std::string>>& values) {
  std::string out;
  std::size_t from = 0;
  for (const auto& [name, value] : values) {
    const std::size_t at = page.find("{{" + name + "}}", from);
    if (at == std::string::npos) throw Error("The report page's template lacks " + name);
    out.append(page, from, at - from);
    out += value;
    from = at + name.size() + 4;
  }
  return out + page.substr(from);
}

}  // namespace

std::string reportPageFilesFolder(const std::string& page) {
  fs::path path(page);
  return (path.parent_path() / (path.stem().string() + "-files")).string();
}

void writeReportPage(const ReportPageSettings& s) {
  const std::vector<nlohmann::json> lines = lastLinesByRoom(s.report);
  const fs::path pageFolder = fs::absolute(s.page).parent_path().lexically_normal();
  const fs::path files = reportPageFilesFolder(s.page);
  const fs::path glbFolder = files / "glb";
  // Made within the page's folder, never the page's folder itself.
  for (const fs::path& folder : {files, glbFolder}) {
    std::error_code error;
    fs::create_directory(folder, error);
    if (error) throw Error("Cannot make the folder " + folder.string());
  }
  writeViewerScripts(files);

  const std::string glbName = s.prefix + ".glb";
  nlohmann::json rooms = nlohmann::json::array();
  nlohmann::json outputLists = nlohmann::json::array();
  std::map<std::string, std::size_t> outputListIndex;
  for (const nlohmann::json& line : lines) {
    const std::string room = roomFolderOf(line);
    std::string key;
    const auto outputs = line.find("outputs");
    if (outputs != line.end() && outputs->is_array() &&
        std::find(outputs->begin(), outputs->end(), glbName) != outputs->end()) {
      const std::string base = !room.empty() && room.back() == '/' ? room : room + "/";
      key = writeGlbScript(base + glbName, glbFolder);
    }
    rooms.push_back(
        pageRow(line, relativeFolder(pageFolder, room), key, outputLists, outputListIndex));
  }

  std::string command;
  for (const std::string& argument : s.command) {
    command += (command.empty() ? "" : " ") + shellWord(argument);
  }
  nlohmann::json data = {
      {"version", kVersion},
      {"date", s.date},
      {"seconds", s.seconds},
      {"running", s.running},
      {"command", command},
      {"prefix", s.prefix},
      {"files", fs::path(files).filename().string()},
      {"withoutPlanes", s.withoutPlanes},
      {"doneBefore", s.doneBefore},
      {"columns", {"room", "status", "message", "seconds", "planes", "cuboids", "faces", "volume",
                   "rt500", "rt1000", "folder", "outputs", "glb"}},
      {"outputLists", outputLists},
      {"rooms", rooms}};
  writeText(s.page, filledTemplate(kReportPageHtml, {{"style", kReportPageStyle},
                                                     {"data", scriptSafeJson(data)},
                                                     {"script", kReportPageScript}}));
}

}  // namespace roombox
