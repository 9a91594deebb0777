#pragma once

#include "roombox/plane.h"
#include "roombox/view_config.h"

#include <string>
#include <vector>

namespace roombox {

// Reads the main plane info file (basePath + planeInfoFile) and, after it, the
// plane info file of every extra view (basePath + views.viewPlaneFiles[k] for
// k below views.viewCount) and returns their planes. Every plane's normal is
// turned toward the origin as it is read.
//
// Throws Error of the kind ErrorKind::kPlaneFiles for a file that cannot be
// opened ("The file %s was not opened") and a view whose cube resolution
// differs from the main file's ("Cube resolutions are different"), and a
// general Error for a malformed file ("The file %s is malformed: <detail>").
// Malformed are: a plane count that is missing, not a whole number, negative
// or beyond INT_MAX; more than kMaxPlanes planes in all; a cube resolution
// that is missing or not a finite number; and a plane record that ends early,
// holds a token that is not a finite number, or whose category truncated
// toward zero lies outside 0..14.
PlaneList readPlaneInfo(const std::string& basePath, const std::string& planeInfoFile,
                        const ViewConfig& views = ViewConfig{});

// The plane list of a single plane info file whose records are already in
// memory (as a caller that holds them in an array has them), checked as
// readPlaneInfo checks a file: every number finite, categories that truncate
// to 0..14, at most kMaxPlanes planes, a finite cube resolution. Each plane's
// equation is the unit normal of its type's axis (types 1, 4, 7: x; 2, 5,
// 9: y; 3, 6, 8: z) at its position, turned toward the origin as readPlaneInfo
// turns a file's equations. Throws Error, its message naming the plane and
// number at fault, for records that fail these checks or a type outside
// those nine.
PlaneList planeListFromRecords(const std::vector<Plane>& planes, float cubeResolution);

}  // namespace roombox
