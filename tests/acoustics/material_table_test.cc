// The shipped material table and what a --materials file may and may not
// say: each refusal names the file, the entry and what is wrong.
#include "roombox/acoustic_materials.h"
#include "roombox/categories.h"
#include "support/expect_error.h"

#include <gtest/gtest.h>

#include <string>

namespace roombox {
namespace {

const char* const kMaterial =
    R"({"name": "felt", "description": "d", "source": "s",
        "absorption": [0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7],
        "scattering": [0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1]})";

MaterialTable merged(const std::string& text) {
  return mergeMaterialTables(builtinMaterialTable(), parseMaterialTable(text, "my.json"), "my.json");
}

TEST(MaterialTableTest, BuiltinTableIsCompleteAndSourced) {
  const MaterialTable& table = builtinMaterialTable();
  for (const AcousticMaterial& material : table.materials) {
    EXPECT_FALSE(material.source.empty()) << material.name;
    EXPECT_FALSE(material.description.empty()) << material.name;
  }
  for (int c = 0; c < kCategoryCount; ++c) {
    EXPECT_EQ(acousticMaterialsOf(table, c, {}).size(), 1u) << CategoryNames[c];
  }
  // The mapping's examples: a category's own row before the general one,
  // finish words left to the other materials, several materials averaged.
  auto names = [&table](int category, std::vector<std::string> materials) {
    std::vector<std::string> out;
    for (const AcousticMaterial* m : acousticMaterialsOf(table, category, materials)) {
      out.push_back(m->name);
    }
    return out;
  };
  EXPECT_EQ(names(5, {"Wood", "Glossy"}), std::vector<std::string>{"wooden_floor"});
  EXPECT_EQ(names(5, {"Textured"}), std::vector<std::string>{"carpet"});
  EXPECT_EQ(names(10, {"Wood", "Glossy"}), std::vector<std::string>{"solid_wood"});
  EXPECT_EQ(names(9, {"Shiny"}), std::vector<std::string>{"upholstered"});
  EXPECT_EQ(names(13, {"Flat", "Painted", "Brick"}),
            (std::vector<std::string>{"painted_plasterboard", "brickwork"}));
  const auto mean = meanCoefficients(acousticMaterialsOf(table, 13, {"Painted", "Brick"}));
  EXPECT_NEAR(mean.first[0], (0.15 + 0.08) / 2.0, 1e-12);
}

TEST(MaterialTableTest, OverrideReplacesAndAdds) {
  const MaterialTable table = merged(std::string(R"({"materials": [)") + kMaterial +
                                     R"(], "mapping": [{"category": "Wall", "material": "*",
                                         "acoustic_material": "felt"},
                                        {"category": "Wall", "material": "Painted",
                                         "acoustic_material": null}]})");
  EXPECT_EQ(table.materials.size(), builtinMaterialTable().materials.size() + 1);
  EXPECT_EQ(acousticMaterialsOf(table, 13, {"Painted"})[0]->name, "felt");
}

TEST(MaterialTableTest, RefusalsNameFileEntryAndFault) {
  const std::string head = R"({"materials": [)";
  auto withAbsorption = [&head](const std::string& absorption) {
    return head + R"({"name": "felt", "description": "d", "source": "s", "absorption": )" +
           absorption + R"(, "scattering": [0, 0, 0, 0, 0, 0, 0]}]})";
  };
  EXPECT_ROOMBOX_ERROR(merged("{\"materials\": ["),
                       "^Cannot use the materials file my.json: the file: it is not JSON");
  EXPECT_ROOMBOX_ERROR(merged(withAbsorption("[0, 0, 0, 0, 0, 0, 1.5]")),
                       "materials\\[0\\] \"felt\": \"absorption\" value 7 \\(8000 Hz\\) is 1.5, "
                       "outside \\[0, 1\\]");
  EXPECT_ROOMBOX_ERROR(merged(withAbsorption("[0, 0, 0, 0, 0, 0, -0.1]")), "is -0.1, outside");
  EXPECT_ROOMBOX_ERROR(merged(withAbsorption("[0, 0, \"a\", 0, 0, 0, 0]")),
                       "value 3 \\(500 Hz\\) is not a number");
  EXPECT_ROOMBOX_ERROR(merged(withAbsorption("[0, 0, 0, 0, 0, 0]")),
                       "\"absorption\" has 6 values, not 7");
  EXPECT_ROOMBOX_ERROR(merged(head + kMaterial + "," + kMaterial + "]}"),
                       "materials\\[1\\] \"felt\": the name is used by an earlier material");
  EXPECT_ROOMBOX_ERROR(
      merged(R"({"mapping": [{"category": "Bath", "material": "*", "acoustic_material": "carpet"}]})"),
      "mapping\\[0\\]: unknown category \"Bath\"");
  EXPECT_ROOMBOX_ERROR(
      merged(R"({"mapping": [{"category": "Wall", "material": "Cork", "acoustic_material": "carpet"}]})"),
      "mapping\\[0\\]: unknown material \"Cork\"");
  EXPECT_ROOMBOX_ERROR(
      merged(R"({"mapping": [{"category": "Wall", "material": "*", "acoustic_material": "cork"}]})"),
      "mapping\\[0\\] \\(Wall, \\*\\): it maps to \"cork\", which is no material of the table");
  EXPECT_ROOMBOX_ERROR(
      merged(R"({"mapping": [{"category": "Wall", "material": "*", "acoustic_material": null}]})"),
      "category Wall: it has no default");
  EXPECT_ROOMBOX_ERROR(
      merged(R"({"mapping": [{"category": "Wall", "material": "Wood", "acoustic_material": "carpet"},
                             {"category": "Wall", "material": "Wood", "acoustic_material": "carpet"}]})"),
      "mapping\\[1\\] \\(Wall, Wood\\): an earlier mapping has the same category and material");
}

}  // namespace
}  // namespace roombox
