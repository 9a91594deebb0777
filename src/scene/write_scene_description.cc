#include "scene/write_scene_description.h"

#include "driver/scene_store.h"
#include "driver/stop_run.h"
#include "scene/category_names.h"
#include "scene/json_writer.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>

namespace {

// Path of the scene description file, named in the failure message.
std::string sceneFilePath() {
  return sceneStore.basePath + sceneStore.outputPrefix + ".JSON";
}

// True for a wall, floor or ceiling plane type (exact float comparison).
bool isRoomPlaneType(float type) {
  return type == 7.0f || type == 8.0f || type == 9.0f;
}

// Midpoint and extent of a float range, both in double precision.
double mid(float low, float high) {
  return (static_cast<double>(low) + static_cast<double>(high)) * 0.5;
}
double length(float low, float high) {
  return static_cast<double>(high) - static_cast<double>(low);
}

// The group entry g that mesh generation made for an entry. Stops the run when
// the group does not exist or its category has no name; mesh generation only
// makes groups of categories 0..14, so this cannot happen in a complete run.
const RectangleGroup& groupForEntry(int g) {
  const bool known = g >= 0 && g < static_cast<int>(sceneStore.groups.size()) &&
                     g < static_cast<int>(sceneStore.groupLabels.size()) &&
                     sceneStore.groups[g].category >= 0 && sceneStore.groups[g].category < 15;
  if (!known) {
    stopRun("Cannot write " + sceneFilePath() + "\n");
  }
  return sceneStore.groups[g];
}

// Opens the entry of group g: its "%s_%d" name of category and instance and
// its "Category" member.
void beginEntry(JsonWriter& writer, int g) {
  const RectangleGroup& group = groupForEntry(g);
  const char* categoryName = CategoryNames[group.category];
  char name[48];
  std::snprintf(name, sizeof(name), "%s_%d", categoryName, group.instance);
  beginObjectMember(writer, name);
  stringMember(writer, "Category", categoryName);
}

// Writes one "Material" member per material flag k (1..11) of label g that
// is 1, skipping k equal to skipA or skipB (0 skips nothing).
void writeMaterialFlags(JsonWriter& writer, int g, int skipA, int skipB) {
  const GroupLabel& label = sceneStore.groupLabels[g];
  for (int k = 1; k <= 11; ++k) {
    if (k != skipA && k != skipB && label.materials[k] == 1) {
      stringMember(writer, "Material", MaterialNames[k]);
    }
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
  numberMember(writer, "absorption", 0.05);
  numberMember(writer, "scattering", 0.02);
  endObject(writer);
}

// Builds the whole document into buffer (capacity characters) and returns
// the writer's final error.
JsonWriterError buildDocument(JsonWriter& writer, char* buffer, int capacity) {
  const SceneStore& store = sceneStore;
  const int cuboidCount = std::min(store.cuboidCount, static_cast<int>(store.cuboids.size()));
  const int planeCount = std::min(store.planeCount, static_cast<int>(store.planes.size()));

  openDocument(writer, buffer, capacity, 1);

  // Mesh generation made the plane groups first, so the cuboid groups start
  // after them.
  int planeGroups = 0;
  for (int i = 0; i < planeCount; ++i) {
    if (isRoomPlaneType(store.planes[i].type)) {
      ++planeGroups;
    }
  }

  // Once the writer has failed every further operation stores nothing, and
  // the caller rebuilds or stops on the error, so the loops end early.
  int g = planeGroups;
  for (int j = 0; j < cuboidCount && writer.error == Ok; ++j) {
    const Cuboid& cuboid = store.cuboids[j];
    if (cuboid.kind != 1.0f) {
      continue;
    }
    beginEntry(writer, g);
    if (cuboid.material == 0.0f) {
      stringMember(writer, "Material", "Unknown");
    } else {
      writeMaterialFlags(writer, g, 0, 0);
    }
    const double geometry[6] = {mid(cuboid.minX, cuboid.maxX),    mid(cuboid.minY, cuboid.maxY),
                                mid(cuboid.minZ, cuboid.maxZ),    length(cuboid.minX, cuboid.maxX),
                                length(cuboid.minY, cuboid.maxY), length(cuboid.minZ, cuboid.maxZ)};
    endEntry(writer, geometry);
    ++g;
  }

  g = 0;
  for (int i = 0; i < planeCount && writer.error == Ok; ++i) {
    const Plane& plane = store.planes[i];
    if (!isRoomPlaneType(plane.type)) {
      continue;
    }
    beginEntry(writer, g);
    const double position = plane.position;
    const double midU = mid(plane.uMin, plane.uMax);
    const double midV = mid(plane.vMin, plane.vMax);
    const double lengthU = length(plane.uMin, plane.uMax);
    const double lengthV = length(plane.vMin, plane.vMax);
    if (plane.type == 8.0f) {
      // Floor or ceiling: Painted comes from the surface itself, not the code.
      writeMaterialFlags(writer, g, 2, 0);
      stringMember(writer, "Material", "Painted");
      const double geometry[6] = {midU, position, midV, lengthU, 0.0, lengthV};
      endEntry(writer, geometry);
    } else {
      // Wall: Painted and Brick are always listed, once, after the code's.
      writeMaterialFlags(writer, g, 2, 5);
      stringMember(writer, "Material", "Painted");
      stringMember(writer, "Material", "Brick");
      if (plane.type == 7.0f) {
        const double geometry[6] = {position, midU, midV, 0.0, lengthU, lengthV};
        endEntry(writer, geometry);
      } else {
        const double geometry[6] = {midU, midV, position, lengthU, lengthV, 0.0};
        endEntry(writer, geometry);
      }
    }
    ++g;
  }

  return closeDocument(writer);
}

}  // namespace

// Builds the document in kSceneTextCapacity characters first and, while the
// writer reports BufferFull, again in twice the space, so the text is never
// cut off. Any other writer error stops the run. sceneText ends up holding
// exactly the characters the writer stored.
void writeSceneDescription() {
  std::string& text = sceneStore.sceneText;
  JsonWriter& writer = sceneStore.sceneWriter;
  int capacity = kSceneTextCapacity;
  for (;;) {
    text.assign(static_cast<size_t>(capacity), '\0');
    const JsonWriterError error = buildDocument(writer, &text[0], capacity);
    if (error == Ok) {
      break;
    }
    if (error != BufferFull || capacity > INT_MAX / 2) {
      stopRun("Cannot write " + sceneFilePath() + "\n");
    }
    capacity *= 2;
  }
  text.resize(static_cast<size_t>(writer.cursor - writer.buffer));
}
