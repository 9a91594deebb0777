#pragma once

#include "mesh/mesh_store.h"

#include <vector>

// Writes the rectangle mesh as basePath + outputPrefix + "-rect-Object.obj":
// vertex positions, then the faces (1-based) with a "g Category_instance"
// line before the first rectangle of every group. Uses the first
// sceneStore.groupCount entries of groups, whose rectangle ranges follow one
// another; a group without rectangles gets its line just before the next
// group's, and none when no rectangle follows it. Stops the run when the
// file cannot be opened or written completely.
void writeObjectObj(const std::vector<RectangleGroup>& groups);
