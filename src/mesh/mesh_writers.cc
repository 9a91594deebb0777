#include "common/c_locale.h"
#include "common/file_name_part.h"
#include "common/output_file.h"
#include "mesh/number_format.h"
#include "roombox/write_colour_obj.h"
#include "roombox/write_cuboid_text.h"
#include "roombox/write_object_obj.h"
#include "roombox/write_object_off.h"
#include "roombox/write_textured_obj.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string>

namespace roombox {

namespace {

// How much of a mesh a writer can read: the vertices (entries present in
// all four per-vertex vectors, at most vertexCount) and the rectangles (rows
// of faces, at most rectangleCount). For a mesh built by mesh generation
// these are vertexCount and rectangleCount.
struct MeshExtent {
  int vertices;
  int rectangles;
};

// Returns the readable extent of mesh.
MeshExtent meshExtent(const MeshStore& mesh) {
  std::size_t vertices = static_cast<std::size_t>(std::max(mesh.vertexCount, 0));
  vertices = std::min({vertices, mesh.vertices.size(), mesh.colours.size(),
                       mesh.texCoords.size(), mesh.vertexAlpha.size()});
  int rectangles = 0;
  if (mesh.faces.type() == CV_32SC1 && mesh.faces.cols >= 4) {
    rectangles = std::max(0, std::min(mesh.rectangleCount, mesh.faces.rows));
  }
  return MeshExtent{static_cast<int>(vertices), rectangles};
}

// Writes the four-line banner that opens a mesh file: a row of '#', "#",
// "# <fileKind> file created by roombox" and "#", each with its line feed.
// fileKind names the format ("obj", "off").
void writeAuthorBanner(const char* fileKind, FILE* file) {
  std::fprintf(file, "###################\n#\n# %s file created by roombox\n#\n", fileKind);
}

// Writes the line of mesh's vertex and rectangle counts that follows an OBJ
// file's banner (or opens the object OBJ), and a "#" line.
void writeMeshCounts(const MeshStore& mesh, FILE* file) {
  std::fprintf(file, "# number of vertexes: %d, number of rectangles: %d\n#\n", mesh.vertexCount,
               mesh.rectangleCount);
}

// Writes the first `count` rectangles of mesh (rows of mesh.faces), one line
// each in the given style (formatFaceRow), in order.
// Precondition: mesh.faces has at least count rows.
void writeFaceRows(const MeshStore& mesh, int count, FaceRowStyle style, FILE* file) {
  char line[128];
  for (int r = 0; r < count; ++r) {
    const char* end = formatFaceRow(mesh.faces.ptr<int>(r), style, line);
    std::fwrite(line, 1, static_cast<std::size_t>(end - line), file);
  }
}

// Writes the position of each of the first `count` vertices of mesh as an
// OBJ vertex line, "v %f %f %f\n", formatted as printf would.
// Precondition: mesh.vertices holds at least count entries.
void writeVertexLines(const MeshStore& mesh, int count, FILE* file) {
  // Lines are formatted as the "%f" conversion would and written one at a
  // time.
  char line[16 * 320];
  for (int i = 0; i < count; ++i) {
    const MeshPoint& p = mesh.vertices[i];
    char* end = line;
    *end++ = 'v';
    for (const float value : {p.x, p.y, p.z}) {
      *end++ = ' ';
      end = formatFixed(value, end);
    }
    *end++ = '\n';
    std::fwrite(line, 1, static_cast<std::size_t>(end - line), file);
  }
}

// Writes the textured OBJ of mesh at objPath and its material file at
// mtlPath. mtlName is how the OBJ's mtllib names the material file and
// textureName how the material's map_Kd names the texture image.
void writeTexturedObjFiles(const MeshStore& mesh, const std::string& objPath,
                           const std::string& mtlPath, const std::string& mtlName,
                           const std::string& textureName) {
  const CLocaleScope cLocale;  // numbers with a decimal point, whatever the locale
  const MeshExtent extent = meshExtent(mesh);

  OutputFile objFile;
  openOutputFile(objPath, objFile);
  FILE* obj = objFile.file;
  writeAuthorBanner("obj", obj);
  writeMeshCounts(mesh, obj);
  std::fprintf(obj,
               "###################\n#\n#vertex with (x,y,z) coordinates, texture with (u,v) "
               "coordinates\n\n");
  std::fprintf(obj, "mtllib %s\n", mtlName.c_str());
  std::fprintf(obj, "g default\n");
  writeVertexLines(mesh, extent.vertices, obj);
  // Texture coordinate lines are formatted as the "%f" conversion would and
  // written one at a time.
  char line[16 * 320];
  for (int i = 0; i < extent.vertices; ++i) {
    const TexCoord& t = mesh.texCoords[i];
    char* end = line;
    *end++ = 'v';
    *end++ = 't';
    for (const float value : {t.u, t.v}) {
      *end++ = ' ';
      end = formatFixed(value, end);
    }
    *end++ = '\n';
    std::fwrite(line, 1, static_cast<std::size_t>(end - line), obj);
  }
  std::fprintf(obj, "vt %f %f\n", 0.001, 0.001);
  std::fprintf(obj, "\n\n#face with vertex indexes\n\n");
  std::fprintf(obj, "s off\n");
  std::fprintf(obj, "g Mesh\n");
  std::fprintf(obj, "usemtl lambert2SG\n");
  writeFaceRows(mesh, extent.rectangles, FaceRowStyle::kTexturedObj, obj);
  std::fprintf(obj, "\n\n#end of obj file");
  closeOutputFile(objFile);

  OutputFile mtlFile;
  openOutputFile(mtlPath, mtlFile, "Cannot make %s\n");
  FILE* mtl = mtlFile.file;
  std::fprintf(mtl, "newmtl lambert2SG\n");
  std::fprintf(mtl, "Kd 0.00 0.00 0.00\n");
  std::fprintf(mtl, "Ka 0.00 0.00 0.00\n");
  std::fprintf(mtl, "Tf 1.00 1.00 1.00\n");
  std::fprintf(mtl, "map_Kd %s\n", textureName.c_str());
  std::fprintf(mtl, "Ni 1.00\n");
  closeOutputFile(mtlFile);
}

}  // namespace

void writeColourObj(const MeshStore& mesh, const std::string& path) {
  const MeshExtent extent = meshExtent(mesh);
  OutputFile out;
  openOutputFile(path, out);
  FILE* file = out.file;
  writeAuthorBanner("obj", file);
  writeMeshCounts(mesh, file);
  std::fprintf(file, "###################\n#\n#vertex with (x,y,z,r,g,b) coordinates\n\n");
  // Vertex lines are formatted as the "%f" conversion would and written one
  // at a time.
  char line[16 * 320];
  for (int i = 0; i < extent.vertices; ++i) {
    const MeshPoint& p = mesh.vertices[i];
    const MeshColour& c = mesh.colours[i];
    const double values[6] = {p.x, p.y, p.z, c.r / 255.0, c.g / 255.0, c.b / 255.0};
    char* end = line;
    *end++ = 'v';
    for (const double value : values) {
      *end++ = ' ';
      end = formatFixed(value, end);
    }
    *end++ = '\n';
    std::fwrite(line, 1, static_cast<std::size_t>(end - line), file);
  }
  std::fprintf(file, "g default\n");
  writeFaceRows(mesh, extent.rectangles, FaceRowStyle::kObj, file);
  std::fprintf(file, "\n\n#end of obj file");
  closeOutputFile(out);
}

void writeCuboidText(const RoomBox& room, const std::vector<Cuboid>& cuboids,
                     float cubeResolution, const std::string& path) {
  const CLocaleScope cLocale;  // numbers with a decimal point, whatever the locale
  const int cuboidCount = static_cast<int>(cuboids.size());
  OutputFile out;
  openOutputFile(path, out);
  FILE* file = out.file;
  std::fprintf(file, "%d %f\n", cuboidCount + 1, cubeResolution);
  std::fprintf(file, "%f %f %f %f %f %f %f %f %f\n", 2.0, room.roomMin[0], room.roomMax[0],
               room.roomMin[1], room.roomMax[1], room.roomMin[2], room.roomMax[2], 5.0, 0.0);
  // One line per cuboid, formatted as "%f " per value and written at once.
  char line[16 * 320];
  for (int i = 0; i < cuboidCount; ++i) {
    const Cuboid& box = cuboids[i];
    const float values[9] = {box.kind, box.minX, box.maxX,     box.minY,    box.maxY,
                             box.minZ, box.maxZ, box.category, box.material};
    char* end = line;
    for (const float value : values) {
      end = formatFixed(value, end);
      *end++ = ' ';
    }
    *end++ = '\n';
    std::fwrite(line, 1, static_cast<std::size_t>(end - line), file);
  }
  closeOutputFile(out);
}

void writeCuboidText(const Reconstruction& room, const std::string& path) {
  writeCuboidText(room.room, room.cuboids, room.planes.cubeResolution, path);
}

namespace {

// The "g" line of an entry and the rectangle it goes before.
struct GroupLine {
  int firstRectangle;
  std::string name;
};

// Writes the object OBJ of mesh with groups (in group order) at path.
void writeObjectObjFile(const MeshStore& mesh, const std::vector<GroupLine>& groups,
                        const std::string& path) {
  const MeshExtent extent = meshExtent(mesh);
  const std::size_t groupCount = groups.size();

  OutputFile out;
  openOutputFile(path, out);
  FILE* file = out.file;
  writeMeshCounts(mesh, file);
  std::fprintf(file, "###################\n#\n#vertex with (x,y,z) coordinates\n\n");
  writeVertexLines(mesh, extent.vertices, file);
  // Face lines are formatted as the "%lld" conversion would and written one
  // at a time.
  char line[128];
  std::size_t next = 0;  // the first group whose line is not written yet
  for (int r = 0; r < extent.rectangles; ++r) {
    while (next < groupCount && groups[next].firstRectangle == r) {
      std::fprintf(file, "\ng %s\n", groups[next].name.c_str());
      ++next;
    }
    const char* end = formatFaceRow(mesh.faces.ptr<int>(r), FaceRowStyle::kObj, line);
    std::fwrite(line, 1, static_cast<std::size_t>(end - line), file);
  }
  std::fprintf(file, "\n\n#end of obj file");
  closeOutputFile(out);
}

}  // namespace

void writeObjectObj(const Reconstruction& room, const std::string& path) {
  std::vector<GroupLine> groups;
  for (const SceneEntry* entry : entriesInGroupOrder(room.scene)) {
    groups.push_back(GroupLine{entry->firstRectangle, entry->name});
  }
  writeObjectObjFile(room.rectangles.mesh, groups, path);
}

void writeObjectObj(const RectangleMesh& rectangles, const std::string& path) {
  std::vector<GroupLine> groups;
  for (const RectangleGroup& group : rectangles.groups) {
    groups.push_back(GroupLine{group.firstRectangle, sceneEntryName(group)});
  }
  writeObjectObjFile(rectangles.mesh, groups, path);
}

void writeObjectOff(const MeshStore& mesh, const std::string& path) {
  const MeshExtent extent = meshExtent(mesh);
  OutputFile out;
  openOutputFile(path, out);
  FILE* file = out.file;
  writeAuthorBanner("off", file);
  std::fprintf(file, "###################\n#\n#(x,y,z,r,g,b,a) coordinates\n\n");
  std::fprintf(file, "COFF\n");
  std::fprintf(file, "%d %d 0\n", mesh.vertexCount, mesh.rectangleCount);
  // Vertex lines are formatted as the "%f" and "%d" conversions would and
  // written one at a time.
  char line[16 * 320];
  for (int i = 0; i < extent.vertices; ++i) {
    const MeshPoint& p = mesh.vertices[i];
    const MeshColour& c = mesh.colours[i];
    char* end = line;
    end = formatFixed(p.x, end);
    *end++ = ' ';
    end = formatFixed(p.y, end);
    *end++ = ' ';
    end = formatFixed(p.z, end);
    // Colour channels are truncated to whole numbers.
    for (const int value : {truncateToInt(c.r), truncateToInt(c.g), truncateToInt(c.b),
                            static_cast<int>(mesh.vertexAlpha[i])}) {
      *end++ = ' ';
      end = std::to_chars(end, end + 16, value).ptr;
    }
    *end++ = '\n';
    std::fwrite(line, 1, static_cast<std::size_t>(end - line), file);
  }
  std::fprintf(file, "\n\n#face with vertex indexes \n\n");
  writeFaceRows(mesh, extent.rectangles, FaceRowStyle::kOff, file);
  std::fprintf(file, "\n\n#end of off file");
  closeOutputFile(out);
}

void writeTexturedObj(const MeshStore& mesh, const std::string& path,
                      const std::string& textureFileName) {
  const std::string mtlPath = path + ".mtl";
  writeTexturedObjFiles(mesh, path, mtlPath, fileNamePart(mtlPath), fileNamePart(textureFileName));
}

void writeTexturedObj(const MeshStore& mesh, const std::string& basePath,
                      const std::string& outputPrefix, const std::string& textureFileName) {
  const std::string objPath = basePath + outputPrefix + "-rect.obj";
  writeTexturedObjFiles(mesh, objPath, objPath + ".mtl",
                        fileNamePart(outputPrefix) + "-rect.obj.mtl",
                        fileNamePart(textureFileName));
}

}  // namespace roombox
