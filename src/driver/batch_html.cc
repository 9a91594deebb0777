#include "driver/batch_html.h"

#include "common/output_file.h"
#include "roombox/error.h"
#include "roombox/version.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace roombox {

// The page's template, script and style, and three.js's files (generated
// from data/report-page and the system's three.js).
extern const char kReportPageHtml[];
extern const char kReportPageScript[];
extern const char kReportPageStyle[];
extern const char kThreeScript[];
extern const char kThreeGltfLoader[];
extern const char kThreeOrbitControls[];

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

// The file of path as text; "" when it cannot be read.
std::string fileText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void writeText(const fs::path& path, const std::string& text) {
  OutputFile out;
  openOutputFile(path.string(), out);
  std::fwrite(text.data(), 1, text.size(), out.file);
  closeOutputFile(out);
}

// Writes text at path unless the file there holds it already.
void writeTextIfChanged(const fs::path& path, const std::string& text) {
  if (fileText(path) != text) writeText(path, text);
}

std::string base64(const std::string& bytes) {
  static const char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t k = 0; k < bytes.size(); k += 3) {
    const std::size_t left = bytes.size() - k;
    std::uint32_t group = static_cast<unsigned char>(bytes[k]) << 16;
    if (left > 1) group |= static_cast<unsigned char>(bytes[k + 1]) << 8;
    if (left > 2) group |= static_cast<unsigned char>(bytes[k + 2]);
    out += kDigits[(group >> 18) & 63];
    out += kDigits[(group >> 12) & 63];
    out += left > 1 ? kDigits[(group >> 6) & 63] : '=';
    out += left > 2 ? kDigits[group & 63] : '=';
  }
  return out;
}

// A name for the script of the GLB at path: FNV-1a of the path, in hex.
std::string glbKeyOf(const std::string& path) {
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : path) hash = (hash ^ c) * 1099511628211ull;
  char key[17];
  std::snprintf(key, sizeof(key), "%016llx", static_cast<unsigned long long>(hash));
  return key;
}

// Writes, unless it is there and newer than the GLB, the script that hands
// the GLB's bytes to the page, and returns its name; "" when the room has
// no GLB now.
std::string writeGlbScript(const fs::path& glb, const fs::path& folder) {
  std::error_code error;
  const fs::file_time_type glbTime = fs::last_write_time(glb, error);
  if (error) return "";
  const std::string key = glbKeyOf(fs::absolute(glb).lexically_normal().string());
  const fs::path script = folder / (key + ".js");
  const fs::file_time_type scriptTime = fs::last_write_time(script, error);
  if (!error && scriptTime >= glbTime) return key;
  std::ifstream in(glb, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (!in) return "";
  writeText(script, "roomboxGlb(\"" + key + "\",\"" + base64(bytes.str()) + "\");\n");
  return key;
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
  writeTextIfChanged(files / "three.min.js", kThreeScript);
  writeTextIfChanged(files / "GLTFLoader.js", kThreeGltfLoader);
  writeTextIfChanged(files / "OrbitControls.js", kThreeOrbitControls);

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
