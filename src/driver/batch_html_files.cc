#include "driver/batch_html_files.h"

#include "common/output_file.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace roombox {

// three.js's files for the page's 3D view (generated from the system's
// three.js).
extern const char kThreeScript[];
extern const char kThreeGltfLoader[];
extern const char kThreeOrbitControls[];

namespace {

// The file of path as text; "" when it cannot be read.
std::string fileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Writes text at path unless the file there holds it already.
void writeTextIfChanged(const std::filesystem::path& path, const std::string& text) {
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

}  // namespace

void writeText(const std::filesystem::path& path, const std::string& text) {
  OutputFile out;
  openOutputFile(path.string(), out);
  std::fwrite(text.data(), 1, text.size(), out.file);
  closeOutputFile(out);
}

void writeViewerScripts(const std::filesystem::path& folder) {
  writeTextIfChanged(folder / "three.min.js", kThreeScript);
  writeTextIfChanged(folder / "GLTFLoader.js", kThreeGltfLoader);
  writeTextIfChanged(folder / "OrbitControls.js", kThreeOrbitControls);
}

std::string writeGlbScript(const std::filesystem::path& glb,
                           const std::filesystem::path& folder) {
  std::error_code error;
  const std::filesystem::file_time_type glbTime = std::filesystem::last_write_time(glb, error);
  if (error) return "";
  const std::string key = glbKeyOf(std::filesystem::absolute(glb).lexically_normal().string());
  const std::filesystem::path script = folder / (key + ".js");
  const std::filesystem::file_time_type scriptTime = std::filesystem::last_write_time(script, error);
  if (!error && scriptTime >= glbTime) return key;
  std::ifstream in(glb, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (!in) return "";
  writeText(script, "roomboxGlb(\"" + key + "\",\"" + base64(bytes.str()) + "\");\n");
  return key;
}

}  // namespace roombox
