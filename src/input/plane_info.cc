#include "input/plane_info.h"

#include "common/c_locale.h"
#include "common/plane_types.h"
#include "roombox/categories.h"
#include "roombox/error.h"
#include "roombox/plane.h"
#include "roombox/read_plane_info.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace roombox {

bool loadNumberTokens(const std::string& path, NumberTokens& tokens) {
  tokens.text.clear();
  tokens.position = 0;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  char chunk[1 << 16];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof(chunk), file)) > 0) {
    tokens.text.append(chunk, got);
  }
  const bool readFailed = std::ferror(file) != 0;
  std::fclose(file);
  return !readFailed;
}

bool nextNumberToken(NumberTokens& tokens, const char*& start, std::size_t& length) {
  const std::string& text = tokens.text;
  std::size_t i = tokens.position;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  if (i == text.size()) {
    tokens.position = i;
    return false;
  }
  std::size_t end = i;
  while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end]))) ++end;
  start = text.data() + i;
  length = end - i;
  tokens.position = end;
  return true;
}

NumberCheck parseFloatToken(const char* start, std::size_t length, float& value) {
  // strtof stops at the white space (or the terminating zero of the text)
  // that ends the token, so a token it consumes entirely is a number. A
  // token holding a zero byte is never consumed entirely.
  char* end = nullptr;
  value = std::strtof(start, &end);
  if (length == 0 || end != start + length) return NumberCheck::NotANumber;
  if (!std::isfinite(value)) return NumberCheck::NotFinite;
  return NumberCheck::Finite;
}

void throwMalformed(const std::string& path, const std::string& detail) {
  throw Error("The file " + path + " is malformed: " + detail);
}

namespace {

// Changes the sign of all four coefficients.
void negate(PlaneEquation& equation) {
  equation.a = -equation.a;
  equation.b = -equation.b;
  equation.c = -equation.c;
  equation.d = -equation.d;
}

// Turns the normal of a plane at a nonzero position toward the origin: if
// position > 0 and any of a, b, c is > 0, all four coefficients change sign;
// then, if position < 0 and any of a, b, c is < 0, all four change sign. A
// plane at position 0 keeps its equation as read.
void orientPlaneEquation(float position, PlaneEquation& equation) {
  if (position > 0 && (equation.a > 0 || equation.b > 0 || equation.c > 0)) {
    negate(equation);
  }
  if (position < 0 && (equation.a < 0 || equation.b < 0 || equation.c < 0)) {
    negate(equation);
  }
}

// One plane info file: its full path, its tokens and its two header values.
struct PlaneInfoFile {
  std::string path;
  NumberTokens tokens;
  int planeCount = 0;
  float resolution = 0.0f;
};

// Opens path and reads its header: a plane count (optional sign and decimal
// digits, at least 0, at most INT_MAX) and a finite cube resolution.
void openPlaneInfoFile(const std::string& path, PlaneInfoFile& file) {
  file.path = path;
  if (!loadNumberTokens(path, file.tokens)) {
    throw Error("The file " + path + " was not opened", ErrorKind::kPlaneFiles);
  }
  const char* start = nullptr;
  std::size_t length = 0;
  if (!nextNumberToken(file.tokens, start, length)) {
    throwMalformed(path, "the plane count is missing");
  }
  std::size_t i = 0;
  bool negative = false;
  if (start[0] == '+' || start[0] == '-') {
    negative = start[0] == '-';
    i = 1;
  }
  if (i == length) throwMalformed(path, "the plane count is not a whole number");
  // Every character of the token must be a digit; past INT_MAX the value
  // stops growing (it is rejected below) while the rest is still checked.
  long long count = 0;
  for (; i < length; ++i) {
    if (start[i] < '0' || start[i] > '9') {
      throwMalformed(path, "the plane count is not a whole number");
    }
    if (count <= INT_MAX) count = count * 10 + (start[i] - '0');
  }
  const std::string countText(start, length);
  if (negative && count != 0) throwMalformed(path, "negative plane count " + countText);
  if (count > INT_MAX) throwMalformed(path, "plane count " + countText + " is too large");
  file.planeCount = static_cast<int>(count);

  if (!nextNumberToken(file.tokens, start, length)) {
    throwMalformed(path, "the cube resolution is missing");
  }
  const NumberCheck check = parseFloatToken(start, length, file.resolution);
  if (check == NumberCheck::NotANumber) throwMalformed(path, "the cube resolution is not a number");
  if (check == NumberCheck::NotFinite) throwMalformed(path, "the cube resolution is not finite");
}

// Appends the file's plane records to list, orients each equation and
// records source as each plane's source. Every record must hold 16 finite
// numbers, and its category truncated toward zero must lie in 0..14 so that
// no later stage can index outside the category tables. The lists grow with
// the records actually present, so a count far larger than the file fails on
// the first missing record instead of reserving memory for the count; past
// kMaxPlanes planes in the list the file is rejected.
void readPlaneRecords(PlaneInfoFile& file, int source, PlaneList& list) {
  for (int j = 0; j < file.planeCount; ++j) {
    if (list.planes.size() >= static_cast<std::size_t>(kMaxPlanes)) {
      throwMalformed(file.path, "more than " + std::to_string(kMaxPlanes) + " planes");
    }
    float numbers[16];
    for (int n = 0; n < 16; ++n) {
      const char* start = nullptr;
      std::size_t length = 0;
      if (!nextNumberToken(file.tokens, start, length)) {
        throwMalformed(file.path, "plane " + std::to_string(j + 1) + " ends early");
      }
      const NumberCheck check = parseFloatToken(start, length, numbers[n]);
      if (check != NumberCheck::Finite) {
        throwMalformed(file.path, "plane " + std::to_string(j + 1) + " number " +
                                     std::to_string(n + 1) +
                                     (check == NumberCheck::NotANumber ? " is not a number"
                                                                       : " is not finite"));
      }
    }
    const float category = numbers[14];
    if (!isCategoryCode(category)) {
      char value[64];
      std::snprintf(value, sizeof(value), "%g", static_cast<double>(category));
      throwMalformed(file.path, "plane " + std::to_string(j + 1) + " category " + value +
                                   " is outside 0 to 14");
    }
    Plane p;
    p.active = numbers[0];
    p.type = numbers[1];
    p.position = numbers[2];
    p.uMin = numbers[3];
    p.uMax = numbers[4];
    p.vMin = numbers[5];
    p.vMax = numbers[6];
    p.centreX = numbers[7];
    p.centreY = numbers[8];
    p.centreZ = numbers[9];
    p.category = numbers[14];
    p.material = numbers[15];
    PlaneEquation e{numbers[10], numbers[11], numbers[12], numbers[13]};
    orientPlaneEquation(p.position, e);
    list.planes.push_back(p);
    list.equations.push_back(e);
    list.planeSource.push_back(source);
  }
}

}  // namespace

PlaneList readPlaneInfo(const std::string& basePath, const std::string& planeInfoFile,
                        const ViewConfig& views) {
  const CLocaleScope cLocale;  // numbers with a decimal point, whatever the locale
  PlaneList list;
  PlaneInfoFile mainFile;
  openPlaneInfoFile(basePath + planeInfoFile, mainFile);
  list.cubeResolution = mainFile.resolution;
  long long total = mainFile.planeCount;

  const int viewCount = usableViewCount(views, ViewSlots::kPlaneFiles);
  std::vector<PlaneInfoFile> viewFiles(viewCount);
  for (int k = 0; k < viewCount; ++k) {
    openPlaneInfoFile(basePath + views.viewPlaneFiles[k], viewFiles[k]);
    list.viewPlaneCounts[k] = viewFiles[k].planeCount;
    list.viewResolutions[k] = viewFiles[k].resolution;
    if (list.viewResolutions[k] != list.cubeResolution) {
      throw Error("Cube resolutions are different", ErrorKind::kPlaneFiles);
    }
    total += viewFiles[k].planeCount;
  }
  if (total > INT_MAX) {
    throwMalformed(basePath + planeInfoFile, "the plane files hold too many planes");
  }

  readPlaneRecords(mainFile, 0, list);
  for (int k = 0; k < viewCount; ++k) {
    list.viewFirstPlane[k] = static_cast<int>(list.planes.size());
    readPlaneRecords(viewFiles[k], k + 1, list);
  }
  return list;
}

PlaneList planeListFromRecords(const std::vector<Plane>& planes, float cubeResolution) {
  if (!std::isfinite(cubeResolution)) throw Error("the cube resolution is not finite");
  if (planes.size() > static_cast<std::size_t>(kMaxPlanes)) {
    throw Error("more than " + std::to_string(kMaxPlanes) + " planes");
  }
  PlaneList list;
  list.cubeResolution = cubeResolution;
  list.planes = planes;
  list.equations.reserve(planes.size());
  list.planeSource.assign(planes.size(), 0);
  for (std::size_t i = 0; i < planes.size(); ++i) {
    const Plane& p = planes[i];
    const std::string which = "plane " + std::to_string(i + 1);
    const float numbers[12] = {p.active,  p.type,    p.position, p.uMin,     p.uMax,     p.vMin,
                               p.vMax,    p.centreX, p.centreY,  p.centreZ,  p.category, p.material};
    for (int k = 0; k < 12; ++k) {
      if (!std::isfinite(numbers[k])) {
        throw Error(which + " number " + std::to_string(k + 1) + " is not finite");
      }
    }
    const int axis = planeNormalAxis(p.type);
    if (axis < 0) throw Error(which + ": the type is not 1 to 9");
    if (!isCategoryCode(p.category)) throw Error(which + ": the category is outside 0 to 14");
    PlaneEquation e{axis == 0 ? 1.0f : 0.0f, axis == 1 ? 1.0f : 0.0f, axis == 2 ? 1.0f : 0.0f,
                    0.0f - p.position};
    orientPlaneEquation(p.position, e);
    list.equations.push_back(e);
  }
  return list;
}

}  // namespace roombox
