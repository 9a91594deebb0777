#pragma once

// Readers that open the tool's output files with real consumers: the assimp
// command-line tool for the meshes and nlohmann-json (a SAX parse, since the
// scene description repeats its "Material" keys) for the scene description.
#include "support/run_binary.h"

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

// What `assimp info <file> -r` (a raw import, no triangulation and no vertex
// joining) reports about a mesh file.
struct AssimpMesh {
  std::string name;
  int vertices = -1;
  int faces = -1;
  std::string primitive;  // "polygon" for faces of more than three corners
};

struct AssimpReport {
  int status = -1;  // exit status of assimp
  std::string text;
  int vertices = -1;
  int faces = -1;
  int materials = -1;
  std::string primitiveTypes;
  std::string minimumPoint;
  std::string maximumPoint;
  std::vector<AssimpMesh> meshes;
  std::vector<std::string> materialNames;
  std::vector<std::string> textureRefs;
  std::vector<std::string> nodes;  // node names below the root, in order
};

inline std::string trimmed(const std::string& text) {
  const std::string::size_type first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The text between the first pair of single quotes of line.
inline std::string quotedPart(const std::string& line) {
  const std::string::size_type open = line.find('\'');
  const std::string::size_type close = line.find('\'', open + 1);
  if (open == std::string::npos || close == std::string::npos) return "";
  return line.substr(open + 1, close - open - 1);
}

inline AssimpReport assimpInfo(const std::string& path) {
  AssimpReport report;
  const CommandRun run = runCommand("assimp info " + quoted(path) + " -r 2>&1");
  report.status = run.status;
  report.text = run.output;
  std::istringstream lines(run.output);
  std::string section;
  bool rootSeen = false;
  for (std::string line; std::getline(lines, line);) {
    const std::string::size_type colon = line.find(':');
    const std::string label = colon == std::string::npos ? "" : line.substr(0, colon);
    const std::string value = colon == std::string::npos ? "" : trimmed(line.substr(colon + 1));
    if (trimmed(line).empty()) {
      section.clear();
    } else if (label == "Vertices") {
      report.vertices = std::atoi(value.c_str());
    } else if (label == "Faces") {
      report.faces = std::atoi(value.c_str());
    } else if (label == "Materials") {
      report.materials = std::atoi(value.c_str());
    } else if (label == "Primitive Types") {
      report.primitiveTypes = value;
    } else if (line.rfind("Minimum point", 0) == 0) {
      report.minimumPoint = trimmed(line.substr(13));
    } else if (line.rfind("Maximum point", 0) == 0) {
      report.maximumPoint = trimmed(line.substr(13));
    } else if (line.rfind("Meshes:  (name)", 0) == 0) {
      section = "meshes";
    } else if (line.rfind("Named Materials:", 0) == 0) {
      section = "materials";
    } else if (line.rfind("Texture Refs:", 0) == 0) {
      section = "textures";
    } else if (line.rfind("Node hierarchy:", 0) == 0) {
      section = "nodes";
    } else if (section == "meshes") {
      // "    3 (Wall_4): [4 / 0 / 1 | polygon]"
      AssimpMesh mesh;
      const std::string::size_type open = line.find('(');
      const std::string::size_type close = line.find("): [");
      if (open == std::string::npos || close == std::string::npos) continue;
      mesh.name = line.substr(open + 1, close - open - 1);
      std::istringstream numbers(line.substr(close + 4));
      std::string slash, bar;
      int bones = 0;
      numbers >> mesh.vertices >> slash >> bones >> slash >> mesh.faces >> bar >> mesh.primitive;
      if (!mesh.primitive.empty() && mesh.primitive.back() == ']') mesh.primitive.pop_back();
      report.meshes.push_back(mesh);
    } else if (section == "materials" && line.rfind("    '", 0) == 0) {
      report.materialNames.push_back(quotedPart(line));
    } else if (section == "textures") {
      report.textureRefs.push_back(quotedPart(line));
    } else if (section == "nodes") {
      if (!rootSeen) {
        rootSeen = true;  // the first line names the file
        continue;
      }
      // "├╴Wall_1 (mesh 0)" or "└╴Bed_1": the name follows the box drawing.
      const std::string branch = "\xe2\x95\xb4";
      const std::string::size_type at = line.find(branch);
      std::string name = at == std::string::npos ? trimmed(line) : line.substr(at + branch.size());
      const std::string::size_type meshNote = name.find(" (mesh ");
      if (meshNote != std::string::npos) name.erase(meshNote);
      report.nodes.push_back(name);
    }
  }
  return report;
}

// One entry of the scene description: its member name and, in order, the
// names of its members, its category, its materials and its numbers.
struct JsonEntry {
  std::string name;
  std::vector<std::string> keys;
  std::string category;
  std::vector<std::string> materials;
  std::map<std::string, double> numbers;
};

// The scene description as a list of entries. parsed is false when the text
// is not one complete JSON document; shapeValid is false when the document is
// not an object of objects holding only strings and numbers.
struct SceneJson {
  bool parsed = false;
  bool shapeValid = true;
  std::string error;
  std::vector<JsonEntry> entries;
};

// SAX handler collecting the entries; keeps every repeated key.
struct SceneJsonHandler {
  using json = nlohmann::json;
  explicit SceneJsonHandler(SceneJson& into) : scene(into) {}
  SceneJson& scene;
  int depth = 0;
  std::string pendingName;
  std::string currentKey;

  bool number(double value) {
    if (depth != 2) scene.shapeValid = false;
    if (depth == 2) scene.entries.back().numbers[currentKey] = value;
    return true;
  }
  bool null() { return scene.shapeValid = false, true; }
  bool boolean(bool) { return scene.shapeValid = false, true; }
  bool number_integer(json::number_integer_t value) { return number(static_cast<double>(value)); }
  bool number_unsigned(json::number_unsigned_t value) {
    return number(static_cast<double>(value));
  }
  bool number_float(json::number_float_t value, const json::string_t&) { return number(value); }
  bool string(json::string_t& value) {
    if (depth != 2) {
      scene.shapeValid = false;
    } else if (currentKey == "Category") {
      scene.entries.back().category = value;
    } else if (currentKey == "Material") {
      scene.entries.back().materials.push_back(value);
    }
    return true;
  }
  bool binary(json::binary_t&) { return scene.shapeValid = false, true; }
  bool start_object(std::size_t) {
    ++depth;
    if (depth == 2) {
      scene.entries.push_back(JsonEntry{});
      scene.entries.back().name = pendingName;
    }
    if (depth > 2) scene.shapeValid = false;
    return true;
  }
  bool end_object() {
    --depth;
    return true;
  }
  bool start_array(std::size_t) { return scene.shapeValid = false, true; }
  bool end_array() { return true; }
  bool key(json::string_t& name) {
    if (depth == 1) pendingName = name;
    if (depth == 2) {
      currentKey = name;
      scene.entries.back().keys.push_back(name);
    }
    return true;
  }
  bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& e) {
    scene.error = "at byte " + std::to_string(position) + ": " + e.what();
    return false;
  }
};

inline SceneJson readSceneJson(const std::string& text) {
  SceneJson scene;
  SceneJsonHandler handler(scene);
  scene.parsed = nlohmann::json::sax_parse(text, &handler);
  return scene;
}
