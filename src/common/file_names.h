#pragma once

#include <string>

namespace roombox {

// How output files are named and how they name one another. Files that go
// together (an OBJ, its material file and its image) refer to one another by
// file name only, so that they can be moved as a folder.

// The extension of the baked atlas image; the atlas is encoded in the format
// it names.
constexpr const char* kAtlasExtension = ".jpg";

// The folder part of path with its last '/' ("" when it has none):
// "out/room.obj" gives "out/".
std::string folderPart(const std::string& path);

// The file name part of path: what follows its last '/' (all of it when it
// has none).
std::string fileNamePart(const std::string& path);

// The extension of path's file name: from the file name's last '.' on
// (".png"), or "" when it has none. The dot that starts a hidden file's
// name (".png", ".hidden") starts no extension.
std::string fileExtension(const std::string& path);

// The texture image a run writes for an output prefix: outputPrefix +
// "-texture.png" (under the base path).
std::string textureFileNameFor(const std::string& outputPrefix);

// The texture image that a textured OBJ at objPath names when the caller
// names none: "<p>-texture.png" for a path "<p>-rect.obj", as a run names
// them; otherwise objPath without its file name's extension followed by
// "-texture.png" ("out/scene.obj" names "out/scene-texture.png").
std::string textureNameForMesh(const std::string& objPath);

// The files of a textured OBJ: the OBJ itself, its material file (the OBJ's
// path + ".mtl"), how the OBJ's mtllib names the material file and how the
// material's map_Kd names the texture image.
struct TexturedObjFiles {
  std::string objPath;
  std::string mtlPath;
  std::string mtlName;
  std::string textureName;
};

// The textured OBJ files for an OBJ at objPath showing the image at
// texturePath (textureNameForMesh(objPath) when empty).
TexturedObjFiles texturedObjFiles(const std::string& objPath, const std::string& texturePath);

// The files of a baked OBJ: the OBJ, its material file (the OBJ's path +
// ".mtl"), its atlas image (the OBJ's path without a trailing ".obj",
// followed by kAtlasExtension: "room-baked.obj" goes with "room-baked.jpg",
// "model" with "model.jpg"), and how the OBJ's mtllib and the material's
// map_Kd name the material file and the image.
struct BakedObjFiles {
  std::string objPath;
  std::string mtlPath;
  std::string imagePath;
  std::string mtlName;
  std::string imageName;
};

// The baked OBJ files for an OBJ at objPath.
BakedObjFiles bakedObjFiles(const std::string& objPath);

// Files named for a path relative to a base path that is glued in front of
// every name, as a run's outputs are: the files name one another as they
// would when written at relativePath, and are written at basePath +
// relativePath (the same thing when basePath ends in '/').
TexturedObjFiles texturedObjFilesUnder(const std::string& basePath,
                                       const std::string& relativePath,
                                       const std::string& texturePath);
BakedObjFiles bakedObjFilesUnder(const std::string& basePath, const std::string& relativePath);

}  // namespace roombox
