#include "common/c_locale.h"
#include "common/output_file.h"
#include "mesh/number_format.h"
#include "mesh/textured_obj_files.h"
#include "roombox/write_colour_obj.h"
#include "roombox/write_cuboid_text.h"
#include "roombox/write_object_obj.h"
#include "roombox/write_object_off.h"
#include "roombox/write_textured_obj.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

namespace roombox {

namespace {

// How much of a mesh a writer can read: the vertices present in all four
// per-vertex vectors, and every rectangle. For a mesh built by mesh
// generation the vectors have one length.
struct MeshExtent {
  int vertices;
  int rectangles;
};

// Returns the readable extent of mesh.
MeshExtent meshExtent(const MeshStore& mesh) {
  const std::size_t vertices = std::min({mesh.vertices.size(), mesh.colours.size(),
                                         mesh.texCoords.size(), mesh.vertexAlpha.size()});
  return MeshExtent{static_cast<int>(vertices), static_cast<int>(mesh.faces.size())};
}

// Writes the four-line banner that opens a mesh file: a row of '#', "#",
// "# <fileKind> file created by roombox" and "#", each with its line feed.
// fileKind names the format ("obj", "off").
void writeAuthorBanner(const char* fileKind, FILE* file) {
  std::fprintf(file, "###################\n#\n# %s file created by roombox\n#\n", fileKind);
}

// Writes the line of the vertex and rectangle counts of extent that follows
// an OBJ file's banner (or opens the object OBJ), and a "#" line.
void writeMeshCounts(const MeshExtent& extent, FILE* file) {
  std::fprintf(file, "# number of vertexes: %d, number of rectangles: %d\n#\n", extent.vertices,
               extent.rectangles);
}

// Writes every rectangle of mesh, one line each in the given style
// (formatFaceRow), in order.
void writeFaceRows(const MeshStore& mesh, FaceRowStyle style, FILE* file) {
  char line[128];
  for (const std::array<int, 4>& face : mesh.faces) {
    const char* end = formatFaceRow(face.data(), style, line);
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

}  // namespace

void writeColourObj(const Reconstruction& room, const std::string& path) {
  const MeshStore& mesh = room.rectangles.mesh;
  const MeshExtent extent = meshExtent(mesh);
  OutputFile out;
  openOutputFile(path, out);
  FILE* file = out.file;
  writeAuthorBanner("obj", file);
  writeMeshCounts(extent, file);
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
  writeFaceRows(mesh, FaceRowStyle::kObj, file);
  std::fprintf(file, "\n\n#end of obj file");
  closeOutputFile(out);
}

void writeCuboidText(const Reconstruction& room, const std::string& path) {
  const CLocaleScope cLocale;  // numbers with a decimal point, whatever the locale
  const std::vector<Cuboid>& cuboids = room.cuboids;
  const RoomBox& box = room.room;
  const int cuboidCount = static_cast<int>(cuboids.size());
  OutputFile out;
  openOutputFile(path, out);
  FILE* file = out.file;
  std::fprintf(file, "%d %f\n", cuboidCount + 1, room.planes.cubeResolution);
  std::fprintf(file, "%f %f %f %f %f %f %f %f %f\n", 2.0, box.roomMin[0], box.roomMax[0],
               box.roomMin[1], box.roomMax[1], box.roomMin[2], box.roomMax[2], 5.0, 0.0);
  // One line per cuboid, formatted as "%f " per value and written at once.
  char line[16 * 320];
  for (int i = 0; i < cuboidCount; ++i) {
    const Cuboid& c = cuboids[i];
    const float values[9] = {c.kind, c.minX, c.maxX,     c.minY,    c.maxY,
                             c.minZ, c.maxZ, c.category, c.material};
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
  writeMeshCounts(extent, file);
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
    const char* end = formatFaceRow(mesh.faces[static_cast<std::size_t>(r)].data(),
                                    FaceRowStyle::kObj, line);
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

void writeObjectOff(const Reconstruction& room, const std::string& path) {
  const MeshStore& mesh = room.rectangles.mesh;
  const MeshExtent extent = meshExtent(mesh);
  OutputFile out;
  openOutputFile(path, out);
  FILE* file = out.file;
  writeAuthorBanner("off", file);
  std::fprintf(file, "###################\n#\n#(x,y,z,r,g,b,a) coordinates\n\n");
  std::fprintf(file, "COFF\n");
  std::fprintf(file, "%d %d 0\n", extent.vertices, extent.rectangles);
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
  writeFaceRows(mesh, FaceRowStyle::kOff, file);
  std::fprintf(file, "\n\n#end of off file");
  closeOutputFile(out);
}

void writeTexturedObjFiles(const Reconstruction& room, const TexturedObjFiles& files) {
  const CLocaleScope cLocale;  // numbers with a decimal point, whatever the locale
  const MeshStore& mesh = room.rectangles.mesh;
  const MeshExtent extent = meshExtent(mesh);

  OutputFile objFile;
  openOutputFile(files.objPath, objFile);
  FILE* obj = objFile.file;
  writeAuthorBanner("obj", obj);
  writeMeshCounts(extent, obj);
  std::fprintf(obj,
               "###################\n#\n#vertex with (x,y,z) coordinates, texture with (u,v) "
               "coordinates\n\n");
  std::fprintf(obj, "mtllib %s\n", files.mtlName.c_str());
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
  writeFaceRows(mesh, FaceRowStyle::kTexturedObj, obj);
  std::fprintf(obj, "\n\n#end of obj file");
  closeOutputFile(objFile);

  OutputFile mtlFile;
  openOutputFile(files.mtlPath, mtlFile, "Cannot make %s");
  FILE* mtl = mtlFile.file;
  std::fprintf(mtl, "newmtl lambert2SG\n");
  std::fprintf(mtl, "Kd 0.00 0.00 0.00\n");
  std::fprintf(mtl, "Ka 0.00 0.00 0.00\n");
  std::fprintf(mtl, "Tf 1.00 1.00 1.00\n");
  std::fprintf(mtl, "map_Kd %s\n", files.textureName.c_str());
  std::fprintf(mtl, "Ni 1.00\n");
  closeOutputFile(mtlFile);
}

void writeTexturedObj(const Reconstruction& room, const std::string& path,
                      const std::string& texturePath) {
  writeTexturedObjFiles(room, texturedObjFiles(path, texturePath));
}

}  // namespace roombox
