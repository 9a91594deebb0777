#include "roombox/write_baked_obj.h"

#include "bake/baked_model.h"
#include "bake/baked_obj_files.h"
#include "common/c_locale.h"
#include "common/output_file.h"

#include <algorithm>
#include <cstdio>

namespace roombox {

void writeBakedObjFiles(const Reconstruction& room, const BakedObjFiles& files,
                        const BakedAtlas& atlas) {
  const CLocaleScope cLocale;  // numbers with a decimal point, whatever the locale
  const RectangleMesh& rectangles = room.rectangles;
  const MeshStore& mesh = rectangles.mesh;
  const int rectangleCount =
      std::min(static_cast<int>(mesh.faces.size()), static_cast<int>(atlas.patches.size()));
  const std::string& imageName = files.imageName;

  OutputFile image;
  openOutputFile(files.imagePath, image);
  const std::vector<unsigned char> encoded = encodeAtlas(atlas);
  std::fwrite(encoded.data(), 1, encoded.size(), image.file);
  closeOutputFile(image);

  OutputFile mtlFile;
  openOutputFile(files.mtlPath, mtlFile);
  // The atlas holds the captured light: full diffuse colour, no highlight.
  std::fprintf(mtlFile.file,
               "newmtl baked\nKa 0.000000 0.000000 0.000000\nKd 1.000000 1.000000 1.000000\n"
               "Ks 0.000000 0.000000 0.000000\nillum 1\nmap_Kd %s\n",
               imageName.c_str());
  closeOutputFile(mtlFile);

  OutputFile objFile;
  openOutputFile(files.objPath, objFile);
  FILE* obj = objFile.file;
  std::fprintf(obj, "# roombox baked model: %d rectangles, texture atlas %s (%d x %d)\n",
               rectangleCount, imageName.c_str(), atlas.image.cols, atlas.image.rows);
  std::fprintf(obj, "mtllib %s\n", files.mtlName.c_str());
  const double width = atlas.image.cols;
  const double height = atlas.image.rows;
  for (int r = 0; r < rectangleCount; ++r) {
    double c[4][3];
    rectangleCorners(mesh, r, c);
    for (int k = 0; k < 4; ++k) std::fprintf(obj, "v %.6f %.6f %.6f\n", c[k][0], c[k][1], c[k][2]);
    // OBJ's v runs up the image; the atlas rows run down.
    const AtlasPatch& p = atlas.patches[static_cast<std::size_t>(r)];
    double u[4], v[4];
    patchCorners(p, u, v);
    for (int k = 0; k < 4; ++k) std::fprintf(obj, "vt %.8f %.8f\n", u[k] / width, 1.0 - v[k] / height);
    double n[3];
    faceNormal(c, n);
    std::fprintf(obj, "vn %.6f %.6f %.6f\n", n[0], n[1], n[2]);
  }
  std::fprintf(obj, "usemtl baked\n");
  for (const SceneEntry& entry : room.scene.entries) {
    const int last = std::min(entry.lastRectangle, rectangleCount - 1);
    if (entry.firstRectangle < 0 || last < entry.firstRectangle) continue;
    std::fprintf(obj, "g %s\n", entry.name.c_str());
    for (int r = entry.firstRectangle; r <= last; ++r) {
      const int v = 4 * r + 1;
      const int n = r + 1;
      std::fprintf(obj, "f %d/%d/%d %d/%d/%d %d/%d/%d %d/%d/%d\n", v, v, n, v + 1, v + 1, n, v + 2,
                   v + 2, n, v + 3, v + 3, n);
    }
  }
  closeOutputFile(objFile);
}

void writeBakedObj(const Reconstruction& room, const std::string& path, const BakedAtlas& atlas) {
  writeBakedObjFiles(room, bakedObjFiles(path), atlas);
}

}  // namespace roombox
