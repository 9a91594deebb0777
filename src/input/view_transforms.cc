#include "input/view_transforms.h"

#include "common/c_locale.h"
#include "common/plane_types.h"
#include "input/plane_info.h"
#include "roombox/error.h"

#include <algorithm>
#include <cmath>

namespace roombox {

ViewTransform readAffineFile(const std::string& path) {
  const CLocaleScope cLocale;  // numbers with a decimal point, whatever the locale
  NumberTokens tokens;
  if (!loadNumberTokens(path, tokens)) {
    throw Error("The file " + path + " was not opened");
  }
  ViewTransform transform{};
  for (int n = 0; n < 12; ++n) {
    const int row = n / 4;
    const int column = n % 4;
    const char* start = nullptr;
    std::size_t length = 0;
    if (!nextNumberToken(tokens, start, length)) {
      throwMalformed(path, "it ends early after " + std::to_string(n) + " numbers");
    }
    const std::string where =
        "row " + std::to_string(row + 1) + " number " + std::to_string(column + 1);
    const NumberCheck check = parseFloatToken(start, length, transform.matrix[row][column]);
    if (check == NumberCheck::NotANumber) throwMalformed(path, where + " is not a number");
    if (check == NumberCheck::NotFinite) throwMalformed(path, where + " is not finite");
  }
  return transform;
}

namespace {

// Snaps value to the grid of step resolution: the nearest multiple, halves
// rounding up. The quotient is a float division; adding 0.5 and the floor are
// done in double; the whole number of steps is rounded to float (as an int
// of that value would be converted) and multiplied by the step in float.
// Where the quotient or the product is not finite (a step of 0 or an
// infinite step) the value is kept as it is, so no non-finite or
// out-of-range number is ever converted to an integer.
float snapToGrid(float value, float resolution) {
  const float quotient = value / resolution;
  if (!std::isfinite(quotient)) return value;
  const float steps = static_cast<float>(std::floor(static_cast<double>(quotient) + 0.5));
  const float snapped = steps * resolution;
  return std::isfinite(snapped) ? snapped : value;
}

}  // namespace

void transformViewPlanes(int view, const ViewTransform& transform, PlaneList& list) {
  if (view < 0 || view >= kViewSlots) return;
  const float tx = transform.matrix[0][3];
  const float ty = transform.matrix[1][3];
  const float tz = transform.matrix[2][3];

  // The view's planes, limited to the planes that exist.
  const long long size =
      static_cast<long long>(std::min(list.planes.size(), list.equations.size()));
  const long long first = std::max(0LL, static_cast<long long>(list.viewFirstPlane[view]));
  const long long end = std::min(
      size, static_cast<long long>(list.viewFirstPlane[view]) + list.viewPlaneCounts[view]);

  for (long long i = first; i < end; ++i) {
    Plane& p = list.planes[i];
    PlaneEquation& e = list.equations[i];
    switch (viewMoveAxisTruncated(p.type)) {
      case 0:
        p.position += tx;
        p.uMin += ty;
        p.uMax += ty;
        p.vMin += tz;
        p.vMax += tz;
        if (e.a > 0) {
          e.d -= tx;
        } else {
          e.d += tx;
        }
        break;
      case 1:
        p.position += ty;
        p.uMin += tx;
        p.uMax += tx;
        p.vMin += tz;
        p.vMax += tz;
        if (e.b > 0) {
          e.d -= ty;
        } else {
          e.d += ty;
        }
        break;
      case 2:
        p.position += tz;
        p.uMin += tx;
        p.uMax += tx;
        p.vMin += ty;
        p.vMax += ty;
        if (e.c > 0) {
          e.d -= tz;
        } else {
          e.d += tz;
        }
        break;
      default:
        break;
    }
    p.centreX += tx;
    p.centreY += ty;
    p.centreZ += tz;
  }

  const float resolution = list.cubeResolution;
  for (long long i = first; i < end; ++i) {
    Plane& p = list.planes[i];
    p.position = snapToGrid(p.position, resolution);
    p.uMin = snapToGrid(p.uMin, resolution);
    p.uMax = snapToGrid(p.uMax, resolution);
    p.vMin = snapToGrid(p.vMin, resolution);
    p.vMax = snapToGrid(p.vMax, resolution);
    p.centreX = snapToGrid(p.centreX, resolution);
    p.centreY = snapToGrid(p.centreY, resolution);
    p.centreZ = snapToGrid(p.centreZ, resolution);
    PlaneEquation& e = list.equations[i];
    e.d = snapToGrid(e.d, resolution);
  }
}

}  // namespace roombox
