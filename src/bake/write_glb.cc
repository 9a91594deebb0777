#include "roombox/write_glb.h"

#include "bake/baked_model.h"
#include "common/output_file.h"
#include "roombox/categories.h"
#include "roombox/error.h"
#include "roombox/scene_model.h"
#include "roombox/version.h"
#include "scene/scene_description.h"

#include <tiny_gltf.h>

#include <algorithm>
#include <cstring>
#include <cstdio>
#include <sstream>

namespace roombox {

namespace {

// glTF's frame, y up, from the scene's, z up.
void toGltfFrame(const double scene[3], float gltf[3]) {
  gltf[0] = static_cast<float>(scene[0]);
  gltf[1] = static_cast<float>(scene[2]);
  gltf[2] = static_cast<float>(-scene[1]);
}

// Appends bytes to buffer, padded to a multiple of 4; returns where they
// start.
std::size_t appendAligned(std::vector<unsigned char>& buffer, const void* bytes, std::size_t size) {
  const std::size_t start = buffer.size();
  buffer.resize(start + size);
  if (size > 0) std::memcpy(buffer.data() + start, bytes, size);
  buffer.resize((buffer.size() + 3) / 4 * 4, 0);
  return start;
}

// Adds a view of length bytes of the buffer from offset. Vertex attribute
// views are shared by the accessors of every node, which glTF allows only
// with an explicit byteStride (0: none, for indices and the image).
int addBufferView(tinygltf::Model& model, std::size_t offset, std::size_t length, int target,
                  int byteStride = 0) {
  tinygltf::BufferView view;
  view.buffer = 0;
  view.byteOffset = offset;
  view.byteLength = length;
  view.target = target;
  view.byteStride = static_cast<std::size_t>(byteStride);
  model.bufferViews.push_back(view);
  return static_cast<int>(model.bufferViews.size()) - 1;
}

int addAccessor(tinygltf::Model& model, int view, std::size_t offset, std::size_t count,
                int componentType, int type) {
  tinygltf::Accessor accessor;
  accessor.bufferView = view;
  accessor.byteOffset = offset;
  accessor.count = count;
  accessor.componentType = componentType;
  accessor.type = type;
  model.accessors.push_back(accessor);
  return static_cast<int>(model.accessors.size()) - 1;
}

// The extras of a node: what the scene description says of its entry.
tinygltf::Value bandList(const BandValues& values) {
  tinygltf::Value::Array list;
  for (double value : values) list.emplace_back(value);
  return tinygltf::Value(list);
}

tinygltf::Value entryExtras(const SceneEntry& entry, const MaterialTable& table) {
  tinygltf::Value::Array materials;
  for (const std::string& name : entry.materials) materials.emplace_back(name);
  const std::pair<BandValues, BandValues> bands =
      meanCoefficients(acousticMaterialsOf(table, entry.category, entry.materials));
  tinygltf::Value::Object extras;
  extras["Category"] = tinygltf::Value(std::string(categoryName(entry.category)));
  extras["Materials"] = tinygltf::Value(materials);
  extras["absorption"] = tinygltf::Value(kSceneAbsorption);
  extras["scattering"] = tinygltf::Value(kSceneScattering);
  extras["absorption_bands"] = bandList(bands.first);
  extras["scattering_bands"] = bandList(bands.second);
  return tinygltf::Value(extras);
}

// Writes model as binary glTF to path, whole or not at all (an output file).
void writeModel(tinygltf::Model& model, const std::string& path) {
  OutputFile file;
  openOutputFile(path, file);
  std::ostringstream bytes;
  tinygltf::TinyGLTF writer;
  if (!writer.WriteGltfSceneToStream(&model, bytes, false, true) || bytes.fail()) {
    throw Error("Cannot write " + path);
  }
  const std::string glb = bytes.str();
  std::fwrite(glb.data(), 1, glb.size(), file.file);
  closeOutputFile(file);
}

}  // namespace

void writeGlb(const Reconstruction& room, const std::string& path, const BakedAtlas& atlas,
              const MaterialTable& materials) {
  const MeshStore& mesh = room.rectangles.mesh;
  const int rectangleCount =
      std::min(static_cast<int>(mesh.faces.size()), static_cast<int>(atlas.patches.size()));
  const std::vector<const SceneEntry*> groupOrder = entriesInGroupOrder(room.scene);

  // Vertex data of all rectangles in mesh order: four vertices each.
  std::vector<float> positions, normals, texCoords;
  positions.reserve(12 * static_cast<std::size_t>(std::max(rectangleCount, 0)));
  normals.reserve(positions.capacity());
  texCoords.reserve(8 * static_cast<std::size_t>(std::max(rectangleCount, 0)));
  const double atlasWidth = atlas.image.cols;
  const double atlasHeight = atlas.image.rows;
  for (int r = 0; r < rectangleCount; ++r) {
    double c[4][3];
    rectangleCorners(mesh, r, c);
    double n[3];
    faceNormal(c, n);
    float normal[3];
    toGltfFrame(n, normal);
    const AtlasPatch& p = atlas.patches[static_cast<std::size_t>(r)];
    double u[4], v[4];
    patchCorners(p, u, v);
    for (int k = 0; k < 4; ++k) {
      float position[3];
      toGltfFrame(c[k], position);
      positions.insert(positions.end(), position, position + 3);
      normals.insert(normals.end(), normal, normal + 3);
      texCoords.push_back(static_cast<float>(u[k] / atlasWidth));
      texCoords.push_back(static_cast<float>(v[k] / atlasHeight));
    }
  }

  tinygltf::Model model;
  model.asset.version = "2.0";
  model.asset.generator = std::string("roombox ") + kVersion;
  // A room without rectangles is a scene without nodes: no buffer, no view,
  // no accessor and no texture, none of which glTF allows empty.
  tinygltf::Scene scene;
  scene.name = "room";
  if (rectangleCount <= 0) {
    model.scenes.push_back(scene);
    model.defaultScene = 0;
    writeModel(model, path);
    return;
  }
  model.buffers.resize(1);
  std::vector<unsigned char>& buffer = model.buffers[0].data;

  const std::size_t positionBytes = positions.size() * sizeof(float);
  const int positionView =
      addBufferView(model, appendAligned(buffer, positions.data(), positionBytes), positionBytes,
                    TINYGLTF_TARGET_ARRAY_BUFFER, 3 * sizeof(float));
  const int normalView =
      addBufferView(model, appendAligned(buffer, normals.data(), positionBytes), positionBytes,
                    TINYGLTF_TARGET_ARRAY_BUFFER, 3 * sizeof(float));
  const std::size_t texCoordBytes = texCoords.size() * sizeof(float);
  const int texCoordView =
      addBufferView(model, appendAligned(buffer, texCoords.data(), texCoordBytes), texCoordBytes,
                    TINYGLTF_TARGET_ARRAY_BUFFER, 2 * sizeof(float));
  // Indices per entry in group order, relative to the entry's first vertex.
  std::vector<unsigned int> indices;
  for (const SceneEntry* entry : groupOrder) {
    for (int r = entry->firstRectangle; r <= entry->lastRectangle && r < rectangleCount; ++r) {
      const unsigned int base = 4u * static_cast<unsigned int>(r - entry->firstRectangle);
      for (const unsigned int k : {0u, 1u, 2u, 0u, 2u, 3u}) indices.push_back(base + k);
    }
  }
  const std::size_t indexBytes = indices.size() * sizeof(unsigned int);
  const int indexView =
      addBufferView(model, appendAligned(buffer, indices.data(), indexBytes), indexBytes,
                    TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);

  // The atlas, its texture and the one unlit material.
  const std::vector<unsigned char> encoded = encodeAtlas(atlas);
  tinygltf::Image image;
  image.name = "atlas";
  image.mimeType = kAtlasMimeType;
  image.bufferView = addBufferView(model, appendAligned(buffer, encoded.data(), encoded.size()),
                                   encoded.size(), 0);
  model.images.push_back(image);
  tinygltf::Sampler sampler;
  sampler.magFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
  sampler.minFilter = TINYGLTF_TEXTURE_FILTER_LINEAR_MIPMAP_LINEAR;
  sampler.wrapS = TINYGLTF_TEXTURE_WRAP_CLAMP_TO_EDGE;
  sampler.wrapT = TINYGLTF_TEXTURE_WRAP_CLAMP_TO_EDGE;
  model.samplers.push_back(sampler);
  tinygltf::Texture texture;
  texture.source = 0;
  texture.sampler = 0;
  model.textures.push_back(texture);
  tinygltf::Material material;
  material.name = "baked";
  material.pbrMetallicRoughness.baseColorTexture.index = 0;
  material.pbrMetallicRoughness.metallicFactor = 0.0;
  material.pbrMetallicRoughness.roughnessFactor = 1.0;
  material.extensions["KHR_materials_unlit"] = tinygltf::Value(tinygltf::Value::Object());
  model.materials.push_back(material);
  model.extensionsUsed.push_back("KHR_materials_unlit");

  // One node per scene description entry, a mesh where it has rectangles.
  std::size_t firstIndex = 0;
  std::vector<std::size_t> indexStart(room.scene.entries.size(), 0);
  for (const SceneEntry* entry : groupOrder) {
    indexStart[static_cast<std::size_t>(entry - room.scene.entries.data())] = firstIndex;
    const int last = std::min(entry->lastRectangle, rectangleCount - 1);
    if (last >= entry->firstRectangle) {
      firstIndex += 6 * static_cast<std::size_t>(last - entry->firstRectangle + 1);
    }
  }
  for (std::size_t e = 0; e < room.scene.entries.size(); ++e) {
    const SceneEntry& entry = room.scene.entries[e];
    tinygltf::Node node;
    node.name = entry.name;
    node.extras = entryExtras(entry, materials);
    const int last = std::min(entry.lastRectangle, rectangleCount - 1);
    if (last >= entry.firstRectangle && entry.firstRectangle >= 0) {
      const std::size_t count = static_cast<std::size_t>(last - entry.firstRectangle + 1);
      const std::size_t vertexStart = 4 * static_cast<std::size_t>(entry.firstRectangle);
      tinygltf::Primitive primitive;
      const int position = addAccessor(model, positionView, vertexStart * 12, 4 * count,
                                       TINYGLTF_COMPONENT_TYPE_FLOAT, TINYGLTF_TYPE_VEC3);
      // POSITION needs its bounds.
      std::vector<double> low(3, 1e300), high(3, -1e300);
      for (std::size_t v = vertexStart; v < vertexStart + 4 * count; ++v) {
        for (int a = 0; a < 3; ++a) {
          low[a] = std::min(low[a], static_cast<double>(positions[3 * v + a]));
          high[a] = std::max(high[a], static_cast<double>(positions[3 * v + a]));
        }
      }
      model.accessors[static_cast<std::size_t>(position)].minValues = low;
      model.accessors[static_cast<std::size_t>(position)].maxValues = high;
      primitive.attributes["POSITION"] = position;
      primitive.attributes["NORMAL"] = addAccessor(model, normalView, vertexStart * 12, 4 * count,
                                                   TINYGLTF_COMPONENT_TYPE_FLOAT,
                                                   TINYGLTF_TYPE_VEC3);
      primitive.attributes["TEXCOORD_0"] =
          addAccessor(model, texCoordView, vertexStart * 8, 4 * count,
                      TINYGLTF_COMPONENT_TYPE_FLOAT, TINYGLTF_TYPE_VEC2);
      primitive.indices = addAccessor(model, indexView, indexStart[e] * 4,
                                      6 * count, TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT,
                                      TINYGLTF_TYPE_SCALAR);
      primitive.material = 0;
      primitive.mode = TINYGLTF_MODE_TRIANGLES;
      tinygltf::Mesh nodeMesh;
      nodeMesh.name = node.name;
      nodeMesh.primitives.push_back(primitive);
      model.meshes.push_back(nodeMesh);
      node.mesh = static_cast<int>(model.meshes.size()) - 1;
    }
    model.nodes.push_back(node);
    scene.nodes.push_back(static_cast<int>(model.nodes.size()) - 1);
  }
  model.scenes.push_back(scene);
  model.defaultScene = 0;
  writeModel(model, path);
}

}  // namespace roombox
