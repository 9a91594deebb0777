#include "roombox/write_acoustics.h"

#include "common/output_file.h"
#include "roombox/categories.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>

namespace roombox {

namespace {

using Json = nlohmann::ordered_json;

// value rounded to seven significant digits (about what a float holds, so
// that coordinates taken from the mesh print as written), a finite number
// always, and never -0. The rounded value is the double nearest a decimal
// of at most seven digits, which the shortest-form printer then writes.
double rounded(double value) {
  if (!std::isfinite(value) || value == 0.0) return 0.0;
  const int digits = 6 - static_cast<int>(std::floor(std::log10(std::fabs(value))));
  if (digits > 22 || digits < -22) return value;
  const double scale = std::pow(10.0, std::abs(digits));
  const double result = digits >= 0 ? std::nearbyint(value * scale) / scale
                                    : std::nearbyint(value / scale) * scale;
  return result == 0.0 || !std::isfinite(result) ? 0.0 : result;
}

Json numbers(const double* values, std::size_t count) {
  Json list = Json::array();
  for (std::size_t k = 0; k < count; ++k) list.push_back(rounded(values[k]));
  return list;
}

Json bands(const BandValues& values) { return numbers(values.data(), values.size()); }

Json point(const Vec3& p) { return numbers(p.data(), p.size()); }

Json textList(const std::vector<std::string>& names) {
  Json list = Json::array();
  for (const std::string& name : names) list.push_back(name);
  return list;
}

}  // namespace

std::string acousticsText(const RoomAcoustics& a) {
  Json document;
  document["units"] = "m";
  Json centres = Json::array();
  for (double centre : kBandCentresHz) centres.push_back(static_cast<int>(centre));
  document["bands_hz"] = centres;
  Json conditions;
  conditions["temperature_c"] = rounded(a.air.temperatureC);
  conditions["relative_humidity"] = rounded(a.air.relativeHumidity);
  conditions["pressure_kpa"] = rounded(a.air.pressureKpa);
  conditions["speed_of_sound"] = rounded(a.speedOfSound);
  conditions["air_attenuation"] = bands(a.airAttenuation);
  document["conditions"] = conditions;
  Json room;
  room["min"] = point(a.roomMin);
  room["max"] = point(a.roomMax);
  room["volume"] = rounded(a.volume);
  room["surface_area"] = rounded(a.surfaceArea);
  room["equivalent_absorption_area"] = bands(a.equivalentAbsorptionArea);
  room["mean_absorption"] = bands(a.meanAbsorption);
  room["rt60_sabine"] = bands(a.rt60Sabine);
  room["rt60_eyring"] = bands(a.rt60Eyring);
  room["schroeder_frequency_hz"] = rounded(a.schroederFrequencyHz);
  document["room"] = room;
  Json objects = Json::array();
  for (const AcousticObject& object : a.objects) {
    Json item;
    item["entry"] = object.entry;
    item["category"] = categoryName(object.category);
    item["min"] = point(object.min);
    item["max"] = point(object.max);
    objects.push_back(item);
  }
  document["objects"] = objects;
  Json surfaces = Json::array();
  for (const AcousticSurface& surface : a.surfaces) {
    Json item;
    item["entry"] = surface.entry;
    item["category"] = categoryName(surface.category);
    item["kind"] = surface.object ? "object" : "room";
    item["materials"] = textList(surface.materials);
    item["acoustic_materials"] = textList(surface.acousticMaterials);
    item["normal"] = point(surface.normal);
    Json corners = Json::array();
    for (const Vec3& corner : surface.corners) corners.push_back(point(corner));
    item["corners"] = corners;
    item["area"] = rounded(surface.area);
    item["exposed_area"] = rounded(surface.exposedArea);
    item["absorption"] = bands(surface.absorption);
    item["scattering"] = bands(surface.scattering);
    surfaces.push_back(item);
  }
  document["surfaces"] = surfaces;
  if (a.rir) {
    const RirSummary& r = *a.rir;
    Json rir;
    rir["file"] = r.file;
    rir["sample_rate"] = r.sampleRate;
    rir["source"] = point(r.source);
    rir["receiver"] = point(r.receiver);
    rir["format"] = r.format;
    rir["length_s"] = rounded(r.lengthS);
    rir["truncated"] = r.truncated;
    rir["seed"] = r.seed;
    rir["max_order"] = r.maxOrder;
    rir["rays"] = r.rays;
    document["rir"] = rir;
  }
  // One member per line, and one line per object and surface; names come
  // from the scene model and the material table, and text that is not
  // valid UTF-8 is written with U+FFFD rather than refused.
  std::string text = "{";
  bool first = true;
  for (auto member = document.begin(); member != document.end(); ++member) {
    text += first ? "\n" : ",\n";
    first = false;
    text += "  " + Json(member.key()).dump() + ": ";
    const Json& value = member.value();
    if (value.is_array() && !value.empty() && value.front().is_object()) {
      text += "[";
      for (std::size_t k = 0; k < value.size(); ++k) {
        text += (k == 0 ? "\n    " : ",\n    ") +
                value[k].dump(-1, ' ', false, Json::error_handler_t::replace);
      }
      text += "\n  ]";
    } else {
      text += value.dump(-1, ' ', false, Json::error_handler_t::replace);
    }
  }
  return text + "\n}\n";
}

void writeAcoustics(const RoomAcoustics& acoustics, const std::string& path) {
  const std::string text = acousticsText(acoustics);
  OutputFile file;
  openOutputFile(path, file);
  std::fwrite(text.data(), 1, text.size(), file.file);
  closeOutputFile(file);
}

}  // namespace roombox
