#include "driver/command_line.h"

#include "acoustics/air.h"
#include "common/c_locale.h"
#include "roombox/error.h"
#include "roombox/version.h"

#include <CLI/CLI.hpp>
#include <opencv2/core.hpp>
#include <opencv2/core/utils/logger.hpp>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

namespace roombox {

namespace {

constexpr const char* kDescription =
    "roombox rebuilds an indoor scene from a plane info file (the axis-aligned planar segments\n"
    "of a room) and an equirectangular panorama taken at the room's origin: the room as one box,\n"
    "every object as axis-aligned boxes.\n";

constexpr const char* kFooter =
    "Arguments:\n"
    "  base path        glued in front of every file name, no separator added\n"
    "                   (scenes/ and planes.txt give scenes/planes.txt); the panorama\n"
    "                   is read from <base path>shifted_t.png\n"
    "  plane info file  the planes of the room, under the base path\n"
    "  output prefix    every output file name starts with it, under the base path\n"
    "  save option      the mesh file to write, read like C's atoi:\n"
    "                     0  <prefix>-rect-Object.obj         one group per object\n"
    "                     1  <prefix>-rect-Object-colour.obj  vertex colours\n"
    "                     2  <prefix>-rect.obj and .obj.mtl   textured with the texture image\n"
    "                     3  <prefix>-rect-Object.off         coloured OFF\n"
    "                   any other value writes no mesh file\n"
    "\n"
    "Every complete run also writes <prefix>_cuboid.txt (the room box and every box),\n"
    "<prefix>.JSON (the scene description) and <prefix>-texture.png (the texture image).\n"
    "With --preview it writes <prefix>-preview.png as well, after the mesh file: the\n"
    "panorama with every wall, floor, ceiling and box drawn over it, and a plan seen\n"
    "from above. It prints no line of its own.\n"
    "With --glb it writes <prefix>.glb (binary glTF 2.0, y up: one node per box, wall,\n"
    "floor and ceiling, named as in the scene description, textured with an atlas baked\n"
    "from the panorama); with --baked-obj the same model as <prefix>-baked.obj with\n"
    "<prefix>-baked.obj.mtl and <prefix>-baked.jpg. Neither prints a line.\n"
    "With --acoustics it writes <prefix>-acoustics.json: every surface's absorption and\n"
    "scattering per octave band (125 Hz to 8 kHz), the room's air volume and its\n"
    "reverberation times by Sabine and Eyring (none for a room without a room box).\n"
    "--materials FILE merges a material table over the built-in one; --air T,RH sets the\n"
    "temperature (degrees Celsius) and relative humidity (percent), 20,50 by default.\n"
    "With --rir it writes <prefix>-rir.wav: the room's impulse response from a source to\n"
    "the capture point (32-bit float WAV; see the README for the method and defaults).\n"
    "It prints no line; a position outside the room's air is refused before any file\n"
    "is written.\n"
    "\n"
    "Exit status: 1 after a complete run (it ends with \"Done!!!\"), 2 after the usage text\n"
    "or any failure, whose message is printed on standard output; 0 after --help and\n"
    "--version.\n";

// The two lines printed when arguments are missing.
std::string usageText(const char* program) {
  std::string text = "Syntax is: ";
  text += program;
  text +=
      " [Base Path] [Plain Info File] [Output name (Prefix)] [Save Option] \n"
      "\tSave Option: 0: obj with obj/material info  1: obj rectangle with coloured obj info 2: "
      "obj rectangle with texture \n";
  return text;
}

// The number text stands for, whole, in the C locale; NaN when it is none.
double parseNumber(const std::string& text) {
  const CLocaleScope cLocale;
  if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return NAN;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size() ? value : NAN;
}

// "X,Y,Z" as a position; not a number where the text is no such triple (the
// run then refuses it by name).
Vec3 parsePosition(const std::string& text) {
  Vec3 position{NAN, NAN, NAN};
  const std::string::size_type first = text.find(',');
  const std::string::size_type second =
      first == std::string::npos ? first : text.find(',', first + 1);
  if (second == std::string::npos || text.find(',', second + 1) != std::string::npos) {
    return position;
  }
  position[0] = parseNumber(text.substr(0, first));
  position[1] = parseNumber(text.substr(first + 1, second - first - 1));
  position[2] = parseNumber(text.substr(second + 1));
  return position;
}

bool isHelpOrVersion(const std::string& argument) {
  return argument == "--help" || argument == "-h" || argument == "--version";
}

constexpr int kCompleteStatus = 1;
constexpr int kFailureStatus = 2;

// Prints message on standard output as it stands.
void printMessage(const std::string& message) {
  std::fwrite(message.data(), 1, message.size(), stdout);
}

// The status to end with: a run whose console output did not reach standard
// output completely has failed, whatever it did besides.
int finish(int status) {
  const bool written = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
  if (written) return status;
  std::fprintf(stderr, "Cannot write standard output\n");
  return kFailureStatus;
}

}  // namespace

void addRirOptions(CLI::App& app, RirOptionTexts& texts) {
  app.add_option("--rir-source", texts.source,
                 "X,Y,Z: the sound source (default 1.5 m towards the panorama's centre)");
  app.add_option("--rir-receiver", texts.receiver,
                 "X,Y,Z: the listener (default the capture point)");
  app.add_option("--rir-rate", texts.rate, "samples per second of the WAV file (default 48000)");
  app.add_option("--rir-format", texts.format,
                 "mono, or ambix: first-order Ambisonics, ACN order, SN3D (default mono)");
  app.add_option("--rir-length", texts.length, "the longest response in seconds (default 10)");
  app.add_option("--rir-seed", texts.seed,
                 "the seed of the simulation's random numbers (default 0)");
}

void readRirOptions(const RirOptionTexts& texts, RunSettings& settings) {
  settings.rirSourceGiven = !texts.source.empty();
  if (settings.rirSourceGiven) settings.rirSource = parsePosition(texts.source);
  settings.rirReceiverGiven = !texts.receiver.empty();
  if (settings.rirReceiverGiven) settings.rirReceiver = parsePosition(texts.receiver);
  const double rateValue = parseNumber(texts.rate);
  if (!(rateValue >= kRirMinSampleRate && rateValue <= kRirMaxSampleRate) ||
      rateValue != std::floor(rateValue)) {
    throw Error("--rir-rate must be a whole number from 8000 to 192000 (samples per second)");
  }
  settings.rirRate = static_cast<int>(rateValue);
  if (texts.format == "mono") {
    settings.rirFormat = RirFormat::Mono;
  } else if (texts.format == "ambix") {
    settings.rirFormat = RirFormat::AmbiX;
  } else {
    throw Error("--rir-format must be mono or ambix");
  }
  const double lengthValue = parseNumber(texts.length);
  if (!(lengthValue > 0 && lengthValue <= kRirMaxLengthS)) {
    throw Error("--rir-length must be a number of seconds above 0 and at most 60");
  }
  settings.rirLength = lengthValue;
  const std::string& seed = texts.seed;
  bool digits = !seed.empty() && seed.size() <= 20;
  for (char c : seed) digits = digits && c >= '0' && c <= '9';
  errno = 0;
  const unsigned long long seedValue = digits ? std::strtoull(seed.c_str(), nullptr, 10) : 0;
  if (!digits || (seedValue == std::numeric_limits<unsigned long long>::max() && errno == ERANGE)) {
    throw Error("--rir-seed must be a whole number from 0 to 18446744073709551615");
  }
  settings.rirSeed = seedValue;
}

int parseSaveOption(const char* text) {
  const char* p = text;
  while (std::isspace(static_cast<unsigned char>(*p))) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = *p == '-';
    ++p;
  }
  // Accumulate the magnitude, saturating one past INT_MAX so that the sign
  // can still reach INT_MIN.
  const long long limit = static_cast<long long>(INT_MAX) + 1;
  long long magnitude = 0;
  while (*p >= '0' && *p <= '9') {
    magnitude = magnitude * 10 + (*p - '0');
    if (magnitude > limit) magnitude = limit;
    ++p;
  }
  if (negative) return static_cast<int>(-magnitude);
  return magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
}

AirConditions parseAirOption(const std::string& text) {
  const std::string problem = "The option --air wants T,RH (temperature in degrees Celsius, "
                              "relative humidity in percent), not \"" + text + "\"";
  CLocaleScope cLocale;
  AirConditions air;
  double values[2] = {0.0, 0.0};
  const char* p = text.c_str();
  for (int k = 0; k < 2; ++k) {
    if (*p == '\0' || std::isspace(static_cast<unsigned char>(*p))) throw Error(problem);
    char* end = nullptr;
    errno = 0;
    values[k] = std::strtod(p, &end);
    if (end == p || errno == ERANGE || !std::isfinite(values[k])) throw Error(problem);
    p = end;
    if (k == 0) {
      if (*p != ',') throw Error(problem);
      ++p;
    }
  }
  if (*p != '\0') throw Error(problem);
  air.temperatureC = values[0];
  air.relativeHumidity = values[1];
  checkAirConditions(air);
  return air;
}

ParsedCommandLine parseCommandLine(int argc, const char* const* argv) {
  const char* program = argc > 0 ? argv[0] : "roombox";
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(argv[i]);

  // The named options; the positional arguments are declared for the help
  // text but taken from the first four arguments as they stand, so that a
  // base path or a save option that begins with '-' stays an argument.
  CLI::App app{kDescription, "roombox"};
  app.footer(kFooter);
  std::string ignored;
  app.add_option("base_path", ignored, "folder prefix of every file (see below)");
  app.add_option("plane_info_file", ignored, "plane info file name");
  app.add_option("output_prefix", ignored, "output file name prefix");
  app.add_option("save_option", ignored, "mesh file to write: 0, 1, 2 or 3");
  app.set_version_flag("--version", std::string("roombox ") + kVersion);
  bool preview = false;
  app.add_flag("--preview", preview, "also write <prefix>-preview.png, a picture of the result");
  bool glb = false;
  app.add_flag("--glb", glb,
               "also write <prefix>.glb: the model as binary glTF with a baked texture atlas");
  bool bakedObj = false;
  app.add_flag("--baked-obj", bakedObj,
               "also write <prefix>-baked.obj, -baked.obj.mtl and -baked.jpg: the same model as OBJ");
  bool acoustics = false;
  app.add_flag("--acoustics", acoustics,
               "also write <prefix>-acoustics.json: absorption per band, volume, reverberation");
  std::string materialsFile;
  app.add_option("--materials", materialsFile,
                 "a JSON material table that replaces or adds materials and mappings");
  std::string air;
  app.add_option("--air", air, "T,RH: air temperature (Celsius) and relative humidity (%)");
  bool rir = false;
  app.add_flag("--rir", rir, "also write <prefix>-rir.wav: the room's impulse response");
  RirOptionTexts rirOptions;
  addRirOptions(app, rirOptions);
  app.allow_extras();

  ParsedCommandLine parsed;
  std::vector<std::string> named;  // what CLI11 reads, in its reverse order
  if (arguments.size() < 4) {
    bool asked = false;
    for (const std::string& argument : arguments) asked = asked || isHelpOrVersion(argument);
    if (!asked) {
      parsed.action = CommandAction::kUsage;
      parsed.text = usageText(program);
      return parsed;
    }
    named.assign(arguments.rbegin(), arguments.rend());
  } else {
    named.assign(arguments.rbegin(), arguments.rend() - 4);
  }

  try {
    app.parse(named);
  } catch (const CLI::CallForHelp&) {
    parsed.action = CommandAction::kHelp;
    parsed.text = app.help();
    return parsed;
  } catch (const CLI::CallForVersion&) {
    parsed.action = CommandAction::kVersion;
    parsed.text = app.version() + "\n";
    return parsed;
  } catch (const CLI::ParseError&) {
    // Nothing but --help and --version can fail here: unknown arguments
    // after the fourth are ignored.
    parsed.action = CommandAction::kUsage;
    parsed.text = usageText(program);
    return parsed;
  }
  if (arguments.size() < 4) {
    parsed.action = CommandAction::kUsage;
    parsed.text = usageText(program);
    return parsed;
  }
  parsed.action = CommandAction::kRun;
  RunSettings& settings = parsed.settings;
  settings.basePath = arguments[0];
  settings.planeInfoFile = arguments[1];
  settings.outputPrefix = arguments[2];
  settings.saveOption = parseSaveOption(arguments[3].c_str());
  settings.textureFileName = textureFileNameFor(settings.outputPrefix);
  settings.preview = preview;
  settings.glb = glb;
  settings.bakedObj = bakedObj;
  settings.acoustics = acoustics;
  settings.materialsFile = materialsFile;
  if (!air.empty()) settings.air = parseAirOption(air);
  settings.rir = rir;
  if (rir) readRirOptions(rirOptions, settings);
  return parsed;
}

int runCommandLine(int argc, const char* const* argv) {
  // roombox reports every failure itself; OpenCV's own log lines (such as
  // its warning about a file it cannot decode) would only repeat them.
  cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT);
  try {
    const ParsedCommandLine command = parseCommandLine(argc, argv);
    switch (command.action) {
      case CommandAction::kUsage:
        printMessage(command.text);
        return finish(kFailureStatus);
      case CommandAction::kHelp:
      case CommandAction::kVersion:
        printMessage(command.text);
        return finish(0);
      case CommandAction::kRun:
        break;
    }
    runRoom(command.settings, stdout);
    return finish(kCompleteStatus);
  } catch (...) {
    printMessage(consoleText(currentFailure()));
  }
  finish(kFailureStatus);
  return kFailureStatus;
}

Failure currentFailure() {
  try {
    throw;
  } catch (const Error& error) {
    return {error.what(), error.kind() == ErrorKind::kPlaneFiles};
  } catch (const std::bad_alloc&) {
    return {"Out of memory", false};
  } catch (const cv::Exception& error) {
    // OpenCV reports its own allocations that fail as StsNoMem.
    if (error.code == cv::Error::StsNoMem) return {"Out of memory", false};
    std::string text = error.what();
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return {"Failure in OpenCV: " + text, true};
  } catch (const std::exception& error) {
    return {std::string("Unexpected failure: ") + error.what(), false};
  }
}

std::string consoleText(const Failure& failure) {
  return failure.message + (failure.blankLine ? "\n\n" : "\n");
}

}  // namespace roombox
