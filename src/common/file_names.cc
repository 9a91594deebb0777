#include "common/file_names.h"

namespace roombox {

namespace {

// Whether text ends with ending.
bool endsWith(const std::string& text, const std::string& ending) {
  return text.size() >= ending.size() &&
         text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

// Where path's file name starts.
std::string::size_type nameStart(const std::string& path) {
  const std::string::size_type slash = path.find_last_of('/');
  return slash == std::string::npos ? 0 : slash + 1;
}

// Where the extension of path's file name starts (npos when it has none).
std::string::size_type extensionStart(const std::string& path) {
  const std::string::size_type dot = path.find_last_of('.');
  return dot != std::string::npos && dot > nameStart(path) ? dot : std::string::npos;
}

}  // namespace

std::string folderPart(const std::string& path) { return path.substr(0, nameStart(path)); }

std::string fileNamePart(const std::string& path) { return path.substr(nameStart(path)); }

std::string fileExtension(const std::string& path) {
  const std::string::size_type dot = extensionStart(path);
  return dot == std::string::npos ? std::string() : path.substr(dot);
}

std::string textureFileNameFor(const std::string& outputPrefix) {
  return outputPrefix + "-texture.png";
}

std::string textureNameForMesh(const std::string& objPath) {
  const std::string rectEnding = "-rect.obj";
  if (endsWith(objPath, rectEnding)) {
    return textureFileNameFor(objPath.substr(0, objPath.size() - rectEnding.size()));
  }
  return textureFileNameFor(objPath.substr(0, extensionStart(objPath)));
}

TexturedObjFiles texturedObjFiles(const std::string& objPath, const std::string& texturePath) {
  TexturedObjFiles files;
  files.objPath = objPath;
  files.mtlPath = objPath + ".mtl";
  files.mtlName = fileNamePart(files.mtlPath);
  files.textureName =
      fileNamePart(texturePath.empty() ? textureNameForMesh(objPath) : texturePath);
  return files;
}

BakedObjFiles bakedObjFiles(const std::string& objPath) {
  const std::string objEnding = ".obj";
  BakedObjFiles files;
  files.objPath = objPath;
  files.mtlPath = objPath + ".mtl";
  files.imagePath = (endsWith(objPath, objEnding)
                         ? objPath.substr(0, objPath.size() - objEnding.size())
                         : objPath) +
                    kAtlasExtension;
  files.mtlName = fileNamePart(files.mtlPath);
  files.imageName = fileNamePart(files.imagePath);
  return files;
}

TexturedObjFiles texturedObjFilesUnder(const std::string& basePath,
                                       const std::string& relativePath,
                                       const std::string& texturePath) {
  TexturedObjFiles files = texturedObjFiles(relativePath, texturePath);
  files.objPath = basePath + files.objPath;
  files.mtlPath = basePath + files.mtlPath;
  return files;
}

BakedObjFiles bakedObjFilesUnder(const std::string& basePath, const std::string& relativePath) {
  BakedObjFiles files = bakedObjFiles(relativePath);
  files.objPath = basePath + files.objPath;
  files.mtlPath = basePath + files.mtlPath;
  files.imagePath = basePath + files.imagePath;
  return files;
}

}  // namespace roombox
