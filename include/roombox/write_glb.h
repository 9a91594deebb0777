#pragma once

#include "roombox/acoustic_materials.h"
#include "roombox/bake_atlas.h"
#include "roombox/reconstruction.h"

#include <string>

namespace roombox {

// Writes the room as a binary glTF 2.0 file at path: one node per entry of
// the scene description (every box, then every wall, floor and ceiling, in
// its order and under its names), with extras holding the entry's
// "Category", its material names as a list ("Materials"), its fixed
// "absorption" and "scattering" (as in the scene description), and its
// coefficients per octave band from materials, 125 Hz to 8 kHz
// ("absorption_bands", "scattering_bands"). A node whose group has rectangles carries a
// mesh of them: every rectangle of the mesh stage as two triangles (c0 c1 c2,
// c0 c2 c3: its winding), four vertices of its own with the face's normal
// and texture coordinates into the atlas. Coordinates are converted to
// glTF's frame, y up: glTF (x, y, z) = scene (x, z, -y), so that the scene's
// z (up) becomes glTF's y and the scene's -y glTF's z (a right-handed
// rotation about x). One material, unlit (KHR_materials_unlit), shows the
// atlas, embedded as JPEG. atlas must be baked from room.rectangles. Throws
// Error when the file cannot be opened ("Cannot open %s") or written
// ("Cannot write %s").
void writeGlb(const Reconstruction& room, const std::string& path, const BakedAtlas& atlas,
              const MaterialTable& materials = builtinMaterialTable());

}  // namespace roombox
