#include "scene/scene_description.h"

#include "common/output_file.h"
#include "roombox/categories.h"
#include "roombox/error.h"
#include "roombox/write_scene_file.h"
#include "scene/json_writer.h"

#include <cstdio>

namespace roombox {

std::string sceneEntryName(const RectangleGroup& group) {
  char name[48];
  std::snprintf(name, sizeof(name), "%s_%d", CategoryNames[group.category], group.instance);
  return name;
}

std::vector<const char*> sceneEntryMaterials(const RectangleGroup& group, const GroupLabel& label,
                                             const std::vector<Plane>& planes,
                                             const std::vector<Cuboid>& cuboids) {
  std::vector<const char*> names;
  // Flags 1..11 of the label, but those the surface lists itself.
  int skipA = 0;
  int skipB = 0;
  const char* const* added = nullptr;
  int addedCount = 0;
  static const char* const kFloorAdded[] = {"Painted"};
  static const char* const kWallAdded[] = {"Painted", "Brick"};
  if (group.source == GroupSource::kCuboid) {
    if (cuboids[group.sourceIndex].material == 0.0f) {
      names.push_back("Unknown");
      return names;
    }
  } else if (planes[group.sourceIndex].type == 8.0f) {
    skipA = 2;
    added = kFloorAdded;
    addedCount = 1;
  } else {
    skipA = 2;
    skipB = 5;
    added = kWallAdded;
    addedCount = 2;
  }
  for (int k = 1; k <= 11; ++k) {
    if (k != skipA && k != skipB && label.materials[k] == 1) names.push_back(MaterialNames[k]);
  }
  for (int k = 0; k < addedCount; ++k) names.push_back(added[k]);
  return names;
}

namespace {

// The inputs of one document.
struct SceneSources {
  const std::vector<Plane>& planes;
  const std::vector<Cuboid>& cuboids;
  const std::vector<RectangleGroup>& groups;
  const std::vector<GroupLabel>& groupLabels;
};

// Midpoint and extent of a float range, both in double precision.
double mid(float low, float high) {
  return (static_cast<double>(low) + static_cast<double>(high)) * 0.5;
}
double length(float low, float high) {
  return static_cast<double>(high) - static_cast<double>(low);
}

// Throws when group g cannot be described: no label, a category without a
// name, or a source outside its list. Mesh generation never makes one.
void checkGroup(const SceneSources& in, std::size_t g) {
  const RectangleGroup& group = in.groups[g];
  const std::size_t sourceCount =
      group.source == GroupSource::kCuboid ? in.cuboids.size() : in.planes.size();
  const bool known = g < in.groupLabels.size() && group.category >= 0 &&
                     group.category < kCategoryCount && group.sourceIndex >= 0 &&
                     static_cast<std::size_t>(group.sourceIndex) < sourceCount;
  if (!known) {
    throw Error("Cannot describe the scene: rectangle group " + std::to_string(g + 1) +
                " has no label, category or source\n");
  }
}

// Opens the entry of group g under its name, with its "Category" member
// and one "Material" member per material name.
void beginEntry(JsonWriter& writer, const SceneSources& in, std::size_t g) {
  const RectangleGroup& group = in.groups[g];
  beginObjectMember(writer, sceneEntryName(group).c_str());
  stringMember(writer, "Category", CategoryNames[group.category]);
  for (const char* material : sceneEntryMaterials(group, in.groupLabels[g], in.planes, in.cuboids)) {
    stringMember(writer, "Material", material);
  }
}

// Writes the six geometry members (centre x, y, z, length x, y, z), the
// acoustic coefficients, and closes the entry.
void endEntry(JsonWriter& writer, const double geometry[6]) {
  numberMember(writer, "Centre_x", geometry[0]);
  numberMember(writer, "Centre_y", geometry[1]);
  numberMember(writer, "Centre_z", geometry[2]);
  numberMember(writer, "Length_x", geometry[3]);
  numberMember(writer, "Length_y", geometry[4]);
  numberMember(writer, "Length_z", geometry[5]);
  numberMember(writer, "absorption", kSceneAbsorption);
  numberMember(writer, "scattering", kSceneScattering);
  endObject(writer);
}

// The entry of a box's group.
void writeCuboidEntry(JsonWriter& writer, const SceneSources& in, std::size_t g) {
  beginEntry(writer, in, g);
  const Cuboid& cuboid = in.cuboids[in.groups[g].sourceIndex];
  const double geometry[6] = {mid(cuboid.minX, cuboid.maxX),    mid(cuboid.minY, cuboid.maxY),
                              mid(cuboid.minZ, cuboid.maxZ),    length(cuboid.minX, cuboid.maxX),
                              length(cuboid.minY, cuboid.maxY), length(cuboid.minZ, cuboid.maxZ)};
  endEntry(writer, geometry);
}

// The entry of a wall's, the floor's or the ceiling's group.
void writePlaneEntry(JsonWriter& writer, const SceneSources& in, std::size_t g) {
  beginEntry(writer, in, g);
  const Plane& plane = in.planes[in.groups[g].sourceIndex];
  const double position = plane.position;
  const double midU = mid(plane.uMin, plane.uMax);
  const double midV = mid(plane.vMin, plane.vMax);
  const double lengthU = length(plane.uMin, plane.uMax);
  const double lengthV = length(plane.vMin, plane.vMax);
  if (plane.type == 8.0f) {
    const double geometry[6] = {midU, position, midV, lengthU, 0.0, lengthV};
    endEntry(writer, geometry);
  } else if (plane.type == 7.0f) {
    const double geometry[6] = {position, midU, midV, 0.0, lengthU, lengthV};
    endEntry(writer, geometry);
  } else {
    const double geometry[6] = {midU, midV, position, lengthU, lengthV, 0.0};
    endEntry(writer, geometry);
  }
}

}  // namespace

std::string writeSceneDescription(const std::vector<Plane>& planes,
                                  const std::vector<Cuboid>& cuboids,
                                  const std::vector<RectangleGroup>& groups,
                                  const std::vector<GroupLabel>& groupLabels) {
  const SceneSources in{planes, cuboids, groups, groupLabels};
  for (std::size_t g = 0; g < groups.size(); ++g) checkGroup(in, g);

  // An entry takes some 300 to 400 characters; reserving a little more
  // than that spares the growing text its copies (pages never written are
  // never touched).
  std::string text;
  text.reserve(64 + 512 * groups.size());
  JsonWriter writer;
  openDocument(writer, text, kUnlimitedJsonText, 1);
  // Boxes first, then the room's surfaces, each in the order mesh generation
  // emitted them.
  for (std::size_t g = 0; g < groups.size(); ++g) {
    const RectangleGroup& group = groups[g];
    if (group.source != GroupSource::kCuboid) continue;
    writeCuboidEntry(writer, in, g);
  }
  for (std::size_t g = 0; g < groups.size(); ++g) {
    const RectangleGroup& group = groups[g];
    if (group.source != GroupSource::kPlane) continue;
    writePlaneEntry(writer, in, g);
  }
  // Every object opened is closed and the text has no limit, so the
  // document always closes cleanly.
  closeDocument(writer);
  return text;
}

void writeSceneFile(const Reconstruction& room, const std::string& path) {
  const std::string& sceneText = room.sceneText;
  OutputFile out;
  openOutputFile(path, out);
  std::fwrite(sceneText.data(), 1, sceneText.size(), out.file);
  std::fputc('\n', out.file);
  closeOutputFile(out);
}

}  // namespace roombox
