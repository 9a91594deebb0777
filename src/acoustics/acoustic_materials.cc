#include "roombox/acoustic_materials.h"

#include "roombox/categories.h"
#include "roombox/error.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <set>
#include <sstream>

namespace roombox {

// The bytes of data/acoustic_materials.json, generated at build time.
extern const char kBuiltinMaterialTableBytes[];
extern const unsigned long kBuiltinMaterialTableSize;

namespace {

using Json = nlohmann::json;

[[noreturn]] void refuse(const std::string& fileName, const std::string& entry,
                         const std::string& what) {
  throw Error("Cannot use the materials file " + fileName + ": " + entry + ": " + what);
}

bool isCategoryName(const std::string& name) {
  for (const char* known : CategoryNames) {
    if (name == known) return true;
  }
  return false;
}

// Material names as the scene description writes them (index 0 is never
// written and names no material).
bool isMaterialName(const std::string& name) {
  for (int k = 1; k < 12; ++k) {
    if (name == MaterialNames[k]) return true;
  }
  return false;
}

std::string textMember(const Json& object, const char* key, const std::string& fileName,
                       const std::string& entry, bool required) {
  const auto found = object.find(key);
  if (found == object.end()) {
    if (required) refuse(fileName, entry, std::string("\"") + key + "\" is missing");
    return std::string();
  }
  if (!found->is_string()) refuse(fileName, entry, std::string("\"") + key + "\" is not a string");
  return found->get<std::string>();
}

BandValues bandMember(const Json& object, const char* key, const std::string& fileName,
                      const std::string& entry) {
  const auto found = object.find(key);
  if (found == object.end()) refuse(fileName, entry, std::string("\"") + key + "\" is missing");
  if (!found->is_array()) {
    refuse(fileName, entry, std::string("\"") + key + "\" is not a list of numbers");
  }
  if (found->size() != static_cast<std::size_t>(kBandCount)) {
    refuse(fileName, entry,
           std::string("\"") + key + "\" has " + std::to_string(found->size()) + " values, not " +
               std::to_string(kBandCount) + " (one per band from 125 Hz to 8 kHz)");
  }
  BandValues values{};
  for (int b = 0; b < kBandCount; ++b) {
    const Json& value = (*found)[static_cast<std::size_t>(b)];
    const std::string where = std::string("\"") + key + "\" value " + std::to_string(b + 1) +
                              " (" + std::to_string(static_cast<int>(kBandCentresHz[b])) + " Hz)";
    if (!value.is_number()) refuse(fileName, entry, where + " is not a number");
    const double number = value.get<double>();
    if (!(number >= 0.0 && number <= 1.0)) {
      std::ostringstream text;
      text.imbue(std::locale::classic());
      text << number;
      refuse(fileName, entry, where + " is " + text.str() + ", outside [0, 1]");
    }
    values[static_cast<std::size_t>(b)] = number;
  }
  return values;
}

std::string quotedName(const std::string& name) { return "\"" + name + "\""; }

std::string mappingEntry(std::size_t index, const MaterialMapping& mapping) {
  return "mapping[" + std::to_string(index) + "] (" + mapping.category + ", " + mapping.material +
         ")";
}

const MaterialMapping* findMapping(const MaterialTable& table, const std::string& category,
                                   const std::string& material) {
  for (const MaterialMapping& mapping : table.mappings) {
    if (mapping.category == category && mapping.material == material) return &mapping;
  }
  return nullptr;
}

const AcousticMaterial* findMaterial(const MaterialTable& table, const std::string& name) {
  for (const AcousticMaterial& material : table.materials) {
    if (material.name == name) return &material;
  }
  return nullptr;
}

// Every mapping of `mappings` (those of the file fileName) names a material
// of table, and every category of table has a default; Error naming
// fileName otherwise.
void checkComplete(const MaterialTable& table, const std::vector<MaterialMapping>& mappings,
                   const std::string& fileName) {
  for (std::size_t k = 0; k < mappings.size(); ++k) {
    const MaterialMapping& mapping = mappings[k];
    if (!mapping.acousticMaterial.empty() && findMaterial(table, mapping.acousticMaterial) == nullptr) {
      refuse(fileName, mappingEntry(k, mapping),
             "it maps to " + quotedName(mapping.acousticMaterial) +
                 ", which is no material of the table");
    }
  }
  for (const char* category : CategoryNames) {
    const MaterialMapping* fallback = findMapping(table, category, "*");
    if (fallback == nullptr || fallback->acousticMaterial.empty()) {
      refuse(fileName, std::string("category ") + category,
             "it has no default (a mapping of material \"*\" to a material)");
    }
  }
}

}  // namespace

MaterialTable parseMaterialTable(const std::string& text, const std::string& fileName) {
  Json document;
  try {
    document = Json::parse(text);
  } catch (const Json::parse_error& error) {
    refuse(fileName, "the file", "it is not JSON (error at byte " + std::to_string(error.byte) + ")");
  }
  if (!document.is_object()) refuse(fileName, "the file", "it is no JSON object");

  MaterialTable table;
  const auto materials = document.find("materials");
  if (materials != document.end()) {
    if (!materials->is_array()) refuse(fileName, "\"materials\"", "it is not a list");
    std::set<std::string> names;
    for (std::size_t k = 0; k < materials->size(); ++k) {
      const Json& item = (*materials)[k];
      std::string entry = "materials[" + std::to_string(k) + "]";
      if (!item.is_object()) refuse(fileName, entry, "it is no JSON object");
      AcousticMaterial material;
      material.name = textMember(item, "name", fileName, entry, true);
      entry += " " + quotedName(material.name);
      if (material.name.empty()) refuse(fileName, entry, "its name is empty");
      if (!names.insert(material.name).second) {
        refuse(fileName, entry, "the name is used by an earlier material");
      }
      material.description = textMember(item, "description", fileName, entry, true);
      material.source = textMember(item, "source", fileName, entry, true);
      material.absorption = bandMember(item, "absorption", fileName, entry);
      material.scattering = bandMember(item, "scattering", fileName, entry);
      table.materials.push_back(material);
    }
  }
  const auto mappings = document.find("mapping");
  if (mappings != document.end()) {
    if (!mappings->is_array()) refuse(fileName, "\"mapping\"", "it is not a list");
    for (std::size_t k = 0; k < mappings->size(); ++k) {
      const Json& item = (*mappings)[k];
      const std::string entry = "mapping[" + std::to_string(k) + "]";
      if (!item.is_object()) refuse(fileName, entry, "it is no JSON object");
      MaterialMapping mapping;
      mapping.category = textMember(item, "category", fileName, entry, true);
      mapping.material = textMember(item, "material", fileName, entry, true);
      if (mapping.category != "*" && !isCategoryName(mapping.category)) {
        refuse(fileName, entry, "unknown category " + quotedName(mapping.category));
      }
      if (mapping.material != "*" && !isMaterialName(mapping.material)) {
        refuse(fileName, entry, "unknown material " + quotedName(mapping.material));
      }
      if (mapping.category == "*" && mapping.material == "*") {
        refuse(fileName, entry, "category and material are both \"*\"");
      }
      const auto target = item.find("acoustic_material");
      if (target == item.end()) refuse(fileName, mappingEntry(k, mapping), "\"acoustic_material\" is missing");
      if (target->is_string()) {
        mapping.acousticMaterial = target->get<std::string>();
        if (mapping.acousticMaterial.empty()) {
          refuse(fileName, mappingEntry(k, mapping), "\"acoustic_material\" is empty");
        }
      } else if (!target->is_null()) {
        refuse(fileName, mappingEntry(k, mapping), "\"acoustic_material\" is neither a name nor null");
      }
      if (mapping.category == "*" && mapping.acousticMaterial.empty() && mapping.material == "*") {
        refuse(fileName, mappingEntry(k, mapping), "it maps nothing");
      }
      mapping.note = textMember(item, "note", fileName, mappingEntry(k, mapping), false);
      if (findMapping(table, mapping.category, mapping.material) != nullptr) {
        refuse(fileName, mappingEntry(k, mapping), "an earlier mapping has the same category and material");
      }
      table.mappings.push_back(mapping);
    }
  }
  return table;
}

MaterialTable mergeMaterialTables(const MaterialTable& base, const MaterialTable& override,
                                  const std::string& overrideFileName) {
  MaterialTable merged = base;
  for (const AcousticMaterial& material : override.materials) {
    bool replaced = false;
    for (AcousticMaterial& existing : merged.materials) {
      if (existing.name == material.name) {
        existing = material;
        replaced = true;
      }
    }
    if (!replaced) merged.materials.push_back(material);
  }
  for (const MaterialMapping& mapping : override.mappings) {
    bool replaced = false;
    for (MaterialMapping& existing : merged.mappings) {
      if (existing.category == mapping.category && existing.material == mapping.material) {
        existing = mapping;
        replaced = true;
      }
    }
    if (!replaced) merged.mappings.push_back(mapping);
  }
  checkComplete(merged, override.mappings, overrideFileName);
  return merged;
}

const std::string& builtinMaterialTableText() {
  static const std::string text(kBuiltinMaterialTableBytes, kBuiltinMaterialTableSize);
  return text;
}

const MaterialTable& builtinMaterialTable() {
  static const MaterialTable table = [] {
    const std::string name = "built into roombox (data/acoustic_materials.json)";
    MaterialTable parsed = parseMaterialTable(builtinMaterialTableText(), name);
    checkComplete(parsed, parsed.mappings, name);
    return parsed;
  }();
  return table;
}

MaterialTable readMaterialTable(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw Error("Cannot use the materials file " + path + ": it cannot be opened");
  std::ostringstream text;
  text << file.rdbuf();
  if (file.bad()) throw Error("Cannot use the materials file " + path + ": it cannot be read");
  return mergeMaterialTables(builtinMaterialTable(), parseMaterialTable(text.str(), path), path);
}

std::vector<const AcousticMaterial*> acousticMaterialsOf(const MaterialTable& table, int category,
                                                         const std::vector<std::string>& materials) {
  const std::string name = categoryName(category);
  std::vector<const AcousticMaterial*> found;
  auto add = [&found](const AcousticMaterial* material) {
    if (material == nullptr) return;
    for (const AcousticMaterial* known : found) {
      if (known == material) return;
    }
    found.push_back(material);
  };
  for (const std::string& material : materials) {
    const MaterialMapping* mapping = findMapping(table, name, material);
    if (mapping == nullptr) mapping = findMapping(table, "*", material);
    if (mapping != nullptr && !mapping->acousticMaterial.empty()) {
      add(findMaterial(table, mapping->acousticMaterial));
    }
  }
  if (found.empty()) {
    const MaterialMapping* fallback = findMapping(table, name, "*");
    if (fallback != nullptr) add(findMaterial(table, fallback->acousticMaterial));
  }
  return found;
}

std::pair<BandValues, BandValues> meanCoefficients(
    const std::vector<const AcousticMaterial*>& materials) {
  BandValues absorption{};
  BandValues scattering{};
  if (materials.empty()) return {absorption, scattering};
  for (const AcousticMaterial* material : materials) {
    for (int b = 0; b < kBandCount; ++b) {
      absorption[static_cast<std::size_t>(b)] += material->absorption[static_cast<std::size_t>(b)];
      scattering[static_cast<std::size_t>(b)] += material->scattering[static_cast<std::size_t>(b)];
    }
  }
  const double count = static_cast<double>(materials.size());
  for (int b = 0; b < kBandCount; ++b) {
    absorption[static_cast<std::size_t>(b)] /= count;
    scattering[static_cast<std::size_t>(b)] /= count;
  }
  return {absorption, scattering};
}

}  // namespace roombox
