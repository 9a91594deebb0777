#pragma once

#include "roombox/room_acoustics.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace roombox {

// One acoustic material: its coefficients per octave band and where they
// come from.
struct AcousticMaterial {
  std::string name;
  std::string description;
  BandValues absorption{};  // random-incidence absorption coefficient, 0..1
  BandValues scattering{};  // random-incidence scattering coefficient, 0..1
  std::string source;       // publication, table and row, or "roombox assumption"
};

// What a visual material of a category stands for acoustically. category is
// a category name or "*" (any category); material a material name or "*"
// (the category's default, used when none of a surface's materials maps to
// an acoustic material). An empty acousticMaterial maps to none: the word
// (a finish such as "Glossy") leaves the surface to its other materials.
struct MaterialMapping {
  std::string category;
  std::string material;
  std::string acousticMaterial;
  std::string note;
};

// The acoustic materials and the mapping from roombox's categories and
// visual materials to them. Materials are unique by name, mappings by
// (category, material).
struct MaterialTable {
  std::vector<AcousticMaterial> materials;
  std::vector<MaterialMapping> mappings;
};

// The table shipped with roombox (data/acoustic_materials.json, built into
// the library).
const MaterialTable& builtinMaterialTable();

// The table text shipped with roombox, as installed under share/roombox.
const std::string& builtinMaterialTableText();

// Reads a table from JSON text. fileName names the text in messages. Throws
// Error("Cannot use the materials file <fileName>: <entry>: <what>") for
// text that is not JSON, a member of the wrong type, a coefficient that is
// not a number in [0, 1], a band list whose length is not 7, an unknown
// category or material name, or a duplicate material name or mapping.
MaterialTable parseMaterialTable(const std::string& text, const std::string& fileName);

// base with the materials and mappings of override replacing those of the
// same name (or category and material) and adding the others. Throws Error
// naming overrideFileName when a mapping of the result names a material that
// does not exist, or a category has no default mapping.
MaterialTable mergeMaterialTables(const MaterialTable& base, const MaterialTable& override,
                                  const std::string& overrideFileName);

// The built-in table with the file at path merged over it; Error when the
// file cannot be read or is refused (see above).
MaterialTable readMaterialTable(const std::string& path);

// The acoustic materials of a surface of category `category` (an index)
// with the visual materials `materials`: those its materials map to, each
// once, in order; when none maps to any, the category's default.
std::vector<const AcousticMaterial*> acousticMaterialsOf(const MaterialTable& table,
                                                         int category,
                                                         const std::vector<std::string>& materials);

// The mean absorption and scattering of acoustic materials (zero for none).
std::pair<BandValues, BandValues> meanCoefficients(
    const std::vector<const AcousticMaterial*>& materials);

}  // namespace roombox
