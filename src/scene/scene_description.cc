#include "scene/scene_description.h"

#include "common/output_file.h"
#include "common/plane_types.h"
#include "roombox/categories.h"
#include "roombox/error.h"
#include "roombox/write_scene_file.h"
#include "scene/json_writer.h"

#include <cstdio>

namespace roombox {

namespace {

// Midpoint and extent of a float range, both in double precision.
double mid(float low, float high) {
  return (static_cast<double>(low) + static_cast<double>(high)) * 0.5;
}
double length(float low, float high) {
  return static_cast<double>(high) - static_cast<double>(low);
}

// Opens the entry under its name, with its "Category" member and one
// "Material" member per material name.
void beginEntry(JsonWriter& writer, const SceneEntry& entry) {
  beginObjectMember(writer, entry.name.c_str());
  stringMember(writer, "Category", categoryName(entry.category));
  for (const std::string& material : entry.materials) {
    stringMember(writer, "Material", material.c_str());
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

// The entry of a box.
void writeCuboidEntry(JsonWriter& writer, const SceneEntry& entry, const Cuboid& cuboid) {
  beginEntry(writer, entry);
  const double geometry[6] = {mid(cuboid.minX, cuboid.maxX),    mid(cuboid.minY, cuboid.maxY),
                              mid(cuboid.minZ, cuboid.maxZ),    length(cuboid.minX, cuboid.maxX),
                              length(cuboid.minY, cuboid.maxY), length(cuboid.minZ, cuboid.maxZ)};
  endEntry(writer, geometry);
}

// The entry of a wall, the floor or the ceiling.
void writePlaneEntry(JsonWriter& writer, const SceneEntry& entry, const Plane& plane) {
  beginEntry(writer, entry);
  const double position = plane.position;
  const double midU = mid(plane.uMin, plane.uMax);
  const double midV = mid(plane.vMin, plane.vMax);
  const double lengthU = length(plane.uMin, plane.uMax);
  const double lengthV = length(plane.vMin, plane.vMax);
  const int axis = roomSurfaceAxis(plane.type);
  if (axis == 2) {
    const double geometry[6] = {midU, position, midV, lengthU, 0.0, lengthV};
    endEntry(writer, geometry);
  } else if (axis == 0) {
    const double geometry[6] = {position, midU, midV, 0.0, lengthU, lengthV};
    endEntry(writer, geometry);
  } else {
    const double geometry[6] = {midU, midV, position, lengthU, lengthV, 0.0};
    endEntry(writer, geometry);
  }
}

// Throws unless the source of every entry is in its list.
void checkSources(const SceneModel& scene, const std::vector<Plane>& planes,
                  const std::vector<Cuboid>& cuboids) {
  for (const SceneEntry& entry : scene.entries) {
    const std::size_t count = entry.kind == EntryKind::kObject ? cuboids.size() : planes.size();
    if (entry.sourceIndex < 0 || static_cast<std::size_t>(entry.sourceIndex) >= count) {
      throw Error("Cannot describe the scene: " + entry.name + " has no source");
    }
  }
}

}  // namespace

std::string writeSceneDescription(const SceneModel& scene, const std::vector<Plane>& planes,
                                  const std::vector<Cuboid>& cuboids) {
  checkSources(scene, planes, cuboids);
  // An entry takes some 300 to 400 characters; reserving a little more
  // than that spares the growing text its copies (pages never written are
  // never touched).
  std::string text;
  text.reserve(64 + 512 * scene.entries.size());
  JsonWriter writer;
  openDocument(writer, text, kUnlimitedJsonText, 1);
  for (const SceneEntry& entry : scene.entries) {
    const std::size_t source = static_cast<std::size_t>(entry.sourceIndex);
    if (entry.kind == EntryKind::kObject) {
      writeCuboidEntry(writer, entry, cuboids[source]);
    } else {
      writePlaneEntry(writer, entry, planes[source]);
    }
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
