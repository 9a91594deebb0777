#pragma once

#include "mesh/format_face_row.h"
#include "mesh/mesh_store.h"

#include <cstdio>

// Writes the first `count` rectangles of mesh (rows of mesh.faces), one line
// each in the given style (formatFaceRow), in order.
// Precondition: mesh.faces has at least count rows.
void writeFaceRows(const MeshStore& mesh, int count, FaceRowStyle style, FILE* file);
