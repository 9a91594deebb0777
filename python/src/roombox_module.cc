// The Python module roombox._roombox: the library's readers, reconstruction
// and writers over numpy arrays, and the command line. The package roombox
// (python/roombox/__init__.py) re-exports it with the parts written in
// Python (groups, scene, process_rooms).
//
// Every call that reads files, reconstructs or writes releases the GIL, so
// that rooms on several Python threads run in parallel; the arguments are
// copied or kept referenced before it is released. Failures of the library
// become roombox.Error with the message the command line prints, without its
// trailing line feeds; running out of memory becomes MemoryError.

#include "driver/command_line.h"
#include "driver/run_sequence.h"
#include "roombox/roombox.h"

#include <locale.h>
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <opencv2/core.hpp>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace py = pybind11;

namespace {

// A plane list as Python sees it: one shared, never changed list.
struct PyPlaneList {
  std::shared_ptr<const roombox::PlaneList> list;
};

// A reconstruction as Python sees it, with the panorama it was made from (the
// GLB, baked OBJ and preview writers draw on it) and the texture atlas that
// the GLB and baked OBJ writers share, baked from that panorama on first use.
struct PyRoom {
  std::shared_ptr<const roombox::Reconstruction> room;
  cv::Mat panorama;  // owned: never a view of a caller's array
  std::shared_ptr<std::mutex> atlasLock = std::make_shared<std::mutex>();
  std::shared_ptr<const roombox::BakedAtlas> atlas;
};

// The message of a library failure without the line feeds that end it on the
// console.
std::string withoutTrailingLines(std::string message) {
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
    message.pop_back();
  }
  return message;
}

// Makes the calling thread print numbers in the C locale while it lives (the
// console lines of run() and the command line, which print with printf).
class ConsoleCLocale {
 public:
  ConsoleCLocale() {
    const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    if (c == static_cast<locale_t>(nullptr)) throw std::bad_alloc();
    c_ = c;
    previous_ = uselocale(c_);
  }
  ~ConsoleCLocale() {
    uselocale(previous_);
    freelocale(c_);
  }
  ConsoleCLocale(const ConsoleCLocale&) = delete;
  ConsoleCLocale& operator=(const ConsoleCLocale&) = delete;

 private:
  locale_t c_;
  locale_t previous_;
};

// A path argument: str, bytes or any os.PathLike, as os.fsdecode gives it.
std::string pathOf(const py::handle& value) {
  const py::object decoded = py::module_::import("os").attr("fsdecode")(value);
  return decoded.cast<std::string>();
}

// Views a panorama array as an 8-bit BGR cv::Mat. The array must be uint8 of
// shape (H, W, 3); one that is not C-contiguous is copied. keep holds the
// array the Mat points into.
cv::Mat panoramaOf(const py::handle& value, py::object& keep) {
  if (!py::isinstance<py::array>(value)) {
    throw py::type_error("a panorama is a numpy array of shape (H, W, 3) and dtype uint8, or a path");
  }
  const py::array array = py::reinterpret_borrow<py::array>(value);
  if (!array.dtype().is(py::dtype::of<std::uint8_t>()) || array.ndim() != 3 ||
      array.shape(2) != 3) {
    throw py::value_error("a panorama array must have shape (H, W, 3) and dtype uint8 (BGR)");
  }
  if (array.shape(0) > INT32_MAX || array.shape(1) > INT32_MAX) {
    throw py::value_error("the panorama array is too large");
  }
  auto contiguous = py::array_t<std::uint8_t, py::array::c_style>::ensure(array);
  if (!contiguous) throw py::error_already_set();
  keep = contiguous;
  return cv::Mat(static_cast<int>(contiguous.shape(0)), static_cast<int>(contiguous.shape(1)),
                 CV_8UC3, const_cast<std::uint8_t*>(contiguous.data()));
}

// A panorama argument: an array (viewed) or a path (read, GIL released).
cv::Mat panoramaArgument(const py::handle& value, py::object& keep) {
  if (py::isinstance<py::array>(value)) return panoramaOf(value, keep);
  const std::string path = pathOf(value);
  py::gil_scoped_release release;
  return roombox::readPanorama(path);
}

// An (H, W, 3) uint8 array holding a copy of an 8-bit BGR image.
py::array_t<std::uint8_t> arrayOfImage(const cv::Mat& image) {
  py::array_t<std::uint8_t> array({static_cast<py::ssize_t>(image.rows),
                                   static_cast<py::ssize_t>(image.cols), py::ssize_t{3}});
  std::uint8_t* out = array.mutable_data();
  const std::size_t rowBytes = static_cast<std::size_t>(image.cols) * 3;
  for (int row = 0; row < image.rows; ++row) {
    std::memcpy(out + row * rowBytes, image.ptr(row), rowBytes);
  }
  return array;
}

PyPlaneList readPlaneInfo(const py::handle& path) {
  const std::string file = pathOf(path);
  py::gil_scoped_release release;
  return PyPlaneList{std::make_shared<const roombox::PlaneList>(roombox::readPlaneInfo("", file))};
}

// The plane equation the plane info reader derives for a plane: the unit
// normal of its type's axis at its position, turned toward the origin (a
// plane at position 0 keeps the normal along the positive axis).
roombox::PlaneEquation equationOf(const roombox::Plane& plane, std::size_t row) {
  roombox::PlaneEquation e{0.0f, 0.0f, 0.0f, 0.0f - plane.position};
  const float type = plane.type;
  if (type == 1.0f || type == 4.0f || type == 7.0f) {
    e.a = 1.0f;
  } else if (type == 2.0f || type == 5.0f || type == 9.0f) {
    e.b = 1.0f;
  } else if (type == 3.0f || type == 6.0f || type == 8.0f) {
    e.c = 1.0f;
  } else {
    throw py::value_error("plane " + std::to_string(row + 1) + ": type must be 1 to 9");
  }
  if (plane.position > 0 && (e.a > 0 || e.b > 0 || e.c > 0)) {
    e = {-e.a, -e.b, -e.c, -e.d};
  }
  if (plane.position < 0 && (e.a < 0 || e.b < 0 || e.c < 0)) {
    e = {-e.a, -e.b, -e.c, -e.d};
  }
  return e;
}

// A plane list from an (N, 12) array of plane records, checked as the plane
// info reader checks a file: finite numbers, categories that truncate to 0
// to 14, at most kMaxPlanes planes, a finite cube resolution.
PyPlaneList planeListFromArray(const py::array_t<float, py::array::c_style | py::array::forcecast>& planes,
                               double cubeResolution) {
  if (planes.ndim() != 2 || planes.shape(1) != 12) {
    throw py::value_error("planes must be an array of shape (N, 12)");
  }
  const float resolution = static_cast<float>(cubeResolution);
  if (!std::isfinite(resolution)) throw py::value_error("the cube resolution is not finite");
  if (planes.shape(0) > roombox::kMaxPlanes) {
    throw py::value_error("more than " + std::to_string(roombox::kMaxPlanes) + " planes");
  }
  auto list = std::make_shared<roombox::PlaneList>();
  list->cubeResolution = resolution;
  const std::size_t count = static_cast<std::size_t>(planes.shape(0));
  list->mainPlaneCount = static_cast<int>(count);
  list->planes.resize(count);
  list->equations.resize(count);
  list->planeSource.assign(count, 0);
  const float* values = planes.data();
  for (std::size_t i = 0; i < count; ++i) {
    const float* row = values + i * 12;
    for (int k = 0; k < 12; ++k) {
      if (!std::isfinite(row[k])) {
        throw py::value_error("plane " + std::to_string(i + 1) + " number " +
                              std::to_string(k + 1) + " is not finite");
      }
    }
    if (!(row[10] > -1.0f && row[10] < 15.0f)) {
      throw py::value_error("plane " + std::to_string(i + 1) + ": the category is outside 0 to 14");
    }
    roombox::Plane& p = list->planes[i];
    p = {row[0], row[1], row[2], row[3], row[4], row[5],
         row[6], row[7], row[8], row[9], row[10], row[11]};
    list->equations[i] = equationOf(p, i);
  }
  return PyPlaneList{std::move(list)};
}

py::array_t<float> planesArray(const PyPlaneList& self) {
  const std::vector<roombox::Plane>& planes = self.list->planes;
  py::array_t<float> array({static_cast<py::ssize_t>(planes.size()), py::ssize_t{12}});
  float* out = array.mutable_data();
  for (const roombox::Plane& p : planes) {
    const float row[12] = {p.active,  p.type,    p.position, p.uMin,     p.uMax,     p.vMin,
                           p.vMax,    p.centreX, p.centreY,  p.centreZ,  p.category, p.material};
    std::memcpy(out, row, sizeof row);
    out += 12;
  }
  return array;
}

py::array_t<float> equationsArray(const PyPlaneList& self) {
  const std::vector<roombox::PlaneEquation>& equations = self.list->equations;
  py::array_t<float> array({static_cast<py::ssize_t>(equations.size()), py::ssize_t{4}});
  float* out = array.mutable_data();
  for (const roombox::PlaneEquation& e : equations) {
    const float row[4] = {e.a, e.b, e.c, e.d};
    std::memcpy(out, row, sizeof row);
    out += 4;
  }
  return array;
}

PyRoom reconstruct(const py::object& planes, const py::object& panorama) {
  std::shared_ptr<const roombox::PlaneList> list;
  if (py::isinstance<PyPlaneList>(planes)) {
    list = planes.cast<const PyPlaneList&>().list;
  } else {
    list = readPlaneInfo(planes).list;
  }
  py::object keep;
  const cv::Mat image = panoramaArgument(panorama, keep);
  py::gil_scoped_release release;
  PyRoom room;
  room.room = std::make_shared<const roombox::Reconstruction>(roombox::reconstructRoom(*list, image));
  // A panorama read here is the room's own; a caller's array is copied, so
  // that later changes to it do not reach the room.
  room.panorama = keep ? image.clone() : image;
  return room;
}

py::array_t<float> roomCorner(const PyRoom& self, bool max) {
  const float* corner = max ? self.room->room.roomMax : self.room->room.roomMin;
  py::array_t<float> array(py::ssize_t{3});
  std::memcpy(array.mutable_data(), corner, 3 * sizeof(float));
  return array;
}

py::array_t<float> cuboidsArray(const PyRoom& self) {
  const std::vector<roombox::Cuboid>& cuboids = self.room->cuboids;
  py::array_t<float> array({static_cast<py::ssize_t>(cuboids.size()), py::ssize_t{9}});
  float* out = array.mutable_data();
  for (const roombox::Cuboid& c : cuboids) {
    const float row[9] = {c.kind, c.minX, c.maxX, c.minY, c.maxY,
                          c.minZ, c.maxZ, c.category, c.material};
    std::memcpy(out, row, sizeof row);
    out += 9;
  }
  return array;
}

py::array_t<bool> cuboidFacesArray(const PyRoom& self) {
  const std::vector<roombox::CuboidFaces>& faces = self.room->cuboidFaces;
  py::array_t<bool> array({static_cast<py::ssize_t>(faces.size()), py::ssize_t{6}});
  bool* out = array.mutable_data();
  for (const roombox::CuboidFaces& f : faces) {
    const int row[6] = {f.minXShown, f.maxXShown, f.minYShown,
                        f.maxYShown, f.minZShown, f.maxZShown};
    for (int k = 0; k < 6; ++k) *out++ = row[k] != 0;
  }
  return array;
}

py::array_t<double> verticesArray(const PyRoom& self) {
  const roombox::MeshStore& mesh = self.room->rectangles.mesh;
  const py::ssize_t count = mesh.vertexCount;
  py::array_t<double> array({count, py::ssize_t{3}});
  double* out = array.mutable_data();
  for (py::ssize_t i = 0; i < count; ++i) {
    const roombox::MeshPoint& p = mesh.vertices[i];
    *out++ = p.x;
    *out++ = p.y;
    *out++ = p.z;
  }
  return array;
}

py::array_t<double> uvArray(const PyRoom& self) {
  const roombox::MeshStore& mesh = self.room->rectangles.mesh;
  const py::ssize_t count = mesh.vertexCount;
  py::array_t<double> array({count, py::ssize_t{2}});
  double* out = array.mutable_data();
  for (py::ssize_t i = 0; i < count; ++i) {
    *out++ = mesh.texCoords[i].u;
    *out++ = mesh.texCoords[i].v;
  }
  return array;
}

py::array_t<std::int32_t> facesArray(const PyRoom& self) {
  const roombox::MeshStore& mesh = self.room->rectangles.mesh;
  const py::ssize_t count = mesh.rectangleCount;
  py::array_t<std::int32_t> array({count, py::ssize_t{4}});
  std::int32_t* out = array.mutable_data();
  for (py::ssize_t r = 0; r < count; ++r) {
    const int* row = mesh.faces.ptr<int>(static_cast<int>(r));
    for (int k = 0; k < 4; ++k) *out++ = row[k];
  }
  return array;
}

// The rectangle groups in the scene description's order (the boxes', then
// the walls', floors' and ceilings', each in mesh order): name, category
// name, first and one-past-last rectangle, and the box's row in cuboids
// (None for a room surface). The package adds each entry's materials from
// the scene description.
py::list rawGroups(const PyRoom& self) {
  const std::vector<roombox::RectangleGroup>& groups = self.room->rectangles.groups;
  py::list out;
  for (const roombox::GroupSource source :
       {roombox::GroupSource::kCuboid, roombox::GroupSource::kPlane}) {
    for (const roombox::RectangleGroup& g : groups) {
      if (g.source != source) continue;
      const int category = g.category >= 0 && g.category < roombox::kCategoryCount ? g.category : 0;
      const std::string categoryName = roombox::CategoryNames[category];
      const std::string name = categoryName + "_" + std::to_string(g.instance);
      const py::object cuboid = source == roombox::GroupSource::kCuboid
                                    ? py::object(py::int_(g.sourceIndex))
                                    : py::object(py::none());
      out.append(py::make_tuple(name, categoryName, g.firstRectangle,
                                std::max(g.firstRectangle, g.lastRectangle + 1), cuboid));
    }
  }
  return out;
}

// The panorama a writer draws on: the one given, or the room's own for None.
// Called with the GIL held; keep holds a given array while the GIL is
// released.
cv::Mat writerPanorama(const PyRoom& self, const py::object& panorama, py::object& keep) {
  if (panorama.is_none()) return self.panorama;
  return panoramaArgument(panorama, keep);
}

// The texture atlas of the room baked on all cores: from the room's own
// panorama once and then shared (own true), or from another panorama afresh.
std::shared_ptr<const roombox::BakedAtlas> atlasOf(PyRoom& self, const cv::Mat& panorama,
                                                   bool own) {
  if (!own) {
    return std::make_shared<const roombox::BakedAtlas>(
        roombox::bakeAtlas(self.room->rectangles, self.room->cuboids, panorama));
  }
  std::lock_guard<std::mutex> hold(*self.atlasLock);
  if (!self.atlas) {
    self.atlas = std::make_shared<const roombox::BakedAtlas>(
        roombox::bakeAtlas(self.room->rectangles, self.room->cuboids, panorama));
  }
  return self.atlas;
}

// The texture image a textured mesh at path names when the caller names
// none: <prefix>-texture.png for a path <prefix>-rect.obj, as a run names it;
// otherwise the path without the extension of its file name, followed by
// "-texture.png" ("out/scene.obj" names "out/scene-texture.png").
std::string defaultTextureName(const std::string& path) {
  const std::string rectEnding = "-rect.obj";
  if (path.size() >= rectEnding.size() &&
      path.compare(path.size() - rectEnding.size(), rectEnding.size(), rectEnding) == 0) {
    return path.substr(0, path.size() - rectEnding.size()) + "-texture.png";
  }
  const std::string::size_type slash = path.find_last_of('/');
  const std::string::size_type nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::string::size_type dot = path.find_last_of('.');
  // A leading dot starts a hidden file's name, not an extension.
  const bool extension = dot != std::string::npos && dot > nameStart;
  return (extension ? path.substr(0, dot) : path) + "-texture.png";
}

void writeMesh(const PyRoom& self, const py::handle& pathArgument, int saveOption,
               const py::object& texture) {
  const std::string path = pathOf(pathArgument);
  const roombox::Reconstruction& r = *self.room;
  switch (saveOption) {
    case 0: {
      py::gil_scoped_release release;
      roombox::writeObjectObj(r.rectangles, path);
      return;
    }
    case 1: {
      py::gil_scoped_release release;
      roombox::writeColourObj(r.rectangles.mesh, path);
      return;
    }
    case 2: {
      const std::string textureName =
          texture.is_none() ? defaultTextureName(path) : pathOf(texture);
      py::gil_scoped_release release;
      roombox::writeTexturedObj(r.rectangles.mesh, path, textureName);
      return;
    }
    case 3: {
      py::gil_scoped_release release;
      roombox::writeObjectOff(r.rectangles.mesh, path);
      return;
    }
    default:
      throw py::value_error("the save option must be 0, 1, 2 or 3");
  }
}

void writeGlb(PyRoom& self, const py::handle& pathArgument, const py::object& panorama) {
  const std::string path = pathOf(pathArgument);
  py::object keep;
  const cv::Mat image = writerPanorama(self, panorama, keep);
  py::gil_scoped_release release;
  const auto atlas = atlasOf(self, image, panorama.is_none());
  roombox::writeGlb(*self.room, *atlas, path);
}

void writeBakedObj(PyRoom& self, const py::handle& pathArgument, const py::object& panorama) {
  const std::string path = pathOf(pathArgument);
  py::object keep;
  const cv::Mat image = writerPanorama(self, panorama, keep);
  py::gil_scoped_release release;
  const auto atlas = atlasOf(self, image, panorama.is_none());
  roombox::writeBakedObj(*self.room, *atlas, path);
}

// Flushes Python's sys.stdout, so that what Python printed comes before the
// console lines that the library prints with printf.
void flushPythonStdout() {
  const py::object out = py::module_::import("sys").attr("stdout");
  if (!out.is_none() && py::hasattr(out, "flush")) out.attr("flush")();
}

// The paths of the files a complete run writes for settings, in the order
// it writes them.
std::vector<std::string> runFiles(const roombox::RunSettings& s) {
  std::vector<std::string> files = roombox::runOutputNames(s);
  for (std::string& file : files) file = s.basePath + file;
  return files;
}

std::vector<std::string> run(const py::handle& basePath, const py::handle& planeFile,
                             const py::handle& prefix, int saveOption, bool glb, bool bakedObj,
                             bool preview, int threads) {
  roombox::RunSettings s;
  s.threads = threads;
  s.basePath = pathOf(basePath);
  s.planeInfoFile = pathOf(planeFile);
  s.outputPrefix = pathOf(prefix);
  s.saveOption = saveOption;
  s.textureFileName = s.outputPrefix + "-texture.png";
  s.preview = preview;
  s.glb = glb;
  s.bakedObj = bakedObj;
  flushPythonStdout();
  {
    py::gil_scoped_release release;
    const ConsoleCLocale cLocale;
    struct Flush {
      ~Flush() { std::fflush(stdout); }
    } flush;
    roombox::runRoom(s, stdout);
  }
  return runFiles(s);
}

int runCommandLine(const std::vector<std::string>& arguments) {
  std::vector<const char*> argv;
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  argv.push_back(nullptr);
  flushPythonStdout();
  py::gil_scoped_release release;
  const ConsoleCLocale cLocale;
  return roombox::runCommandLine(static_cast<int>(arguments.size()), argv.data());
}

}  // namespace

PYBIND11_MODULE(_roombox, m) {
  m.doc() = "roombox's C++ library; use the package roombox.";

  static py::exception<roombox::Error> error(m, "Error", PyExc_Exception);
  py::register_exception_translator([](std::exception_ptr thrown) {
    try {
      if (thrown) std::rethrow_exception(thrown);
    } catch (const py::builtin_exception&) {
      throw;  // pybind11's own: TypeError, ValueError, ...
    } catch (const py::error_already_set&) {
      throw;
    } catch (const roombox::Error& e) {
      error(withoutTrailingLines(e.what()).c_str());
    } catch (const std::bad_alloc&) {
      PyErr_SetString(PyExc_MemoryError, "Out of memory");
    } catch (const cv::Exception& e) {
      error(("Failure in OpenCV: " + withoutTrailingLines(e.what())).c_str());
    } catch (const std::exception& e) {
      error(("Unexpected failure: " + withoutTrailingLines(e.what())).c_str());
    }
  });

  m.attr("__version__") = roombox::kVersion;

  py::class_<PyPlaneList>(m, "PlaneList",
                          "The planes of a room: one record of 12 numbers per plane, its plane\n"
                          "equation, and the room's cube resolution (the grid step).")
      .def_static("from_array", &planeListFromArray, py::arg("planes"), py::arg("cube_resolution"),
                  "A plane list from an (N, 12) array of plane records in the order active,\n"
                  "type, position, uMin, uMax, vMin, vMax, centreX, centreY, centreZ,\n"
                  "category, material. Each plane's equation is the unit normal of its type's\n"
                  "axis (types 1, 4, 7: x; 2, 5, 9: y; 3, 6, 8: z) at its position, turned\n"
                  "toward the origin as the plane info reader turns it. Raises ValueError for\n"
                  "another shape, a number that is not finite, another type, or a category\n"
                  "outside 0 to 14.")
      .def_property_readonly("planes", &planesArray,
                             "(N, 12) float32: the plane records, in from_array's column order.")
      .def_property_readonly("equations", &equationsArray,
                             "(N, 4) float32: a, b, c, d of each plane a x + b y + c z + d = 0.")
      .def_property_readonly(
          "cube_resolution", [](const PyPlaneList& self) { return self.list->cubeResolution; },
          "The grid step of the room, from the plane info file's header.")
      .def("__len__", [](const PyPlaneList& self) { return self.list->planes.size(); })
      .def("__repr__", [](const PyPlaneList& self) {
        return "<roombox.PlaneList of " + std::to_string(self.list->planes.size()) + " planes>";
      });

  py::class_<PyRoom>(m, "Room",
                     "A reconstructed room: the room box, the boxes of its objects, the\n"
                     "rectangle mesh and the scene description, with the panorama it was\n"
                     "made from. Every array is a fresh copy.")
      .def_property_readonly(
          "room_min", [](const PyRoom& self) { return roomCorner(self, false); },
          "(3,) float32: the room box's lower corner (x, y, z).")
      .def_property_readonly(
          "room_max", [](const PyRoom& self) { return roomCorner(self, true); },
          "(3,) float32: the room box's upper corner (x, y, z).")
      .def_property_readonly("cuboids", &cuboidsArray,
                             "(M, 9) float32: one row per box as in the cuboid text file (kind,\n"
                             "minX, maxX, minY, maxY, minZ, maxZ, category, material).")
      .def_property_readonly("cuboid_faces", &cuboidFacesArray,
                             "(M, 6) bool: whether each box face (minX, maxX, minY, maxY, minZ,\n"
                             "maxZ) is in the mesh.")
      .def_property_readonly("vertices", &verticesArray, "(V, 3) float64: mesh vertex positions.")
      .def_property_readonly("faces", &facesArray,
                             "(F, 4) int32: the rectangles of the mesh, as rows of vertices.")
      .def_property_readonly("uv", &uvArray,
                             "(V, 2) float64: each vertex's texture coordinate in the panorama.")
      .def_property_readonly(
          "scene_text", [](const PyRoom& self) { return self.room->sceneText; },
          "The scene description (JSON) exactly as write_scene writes it, without its\n"
          "final line feed.")
      .def_property_readonly(
          "cube_resolution", [](const PyRoom& self) { return self.room->planes.cubeResolution; },
          "The grid step of the room.")
      .def("_raw_groups", &rawGroups)
      .def(
          "write_cuboid_text",
          [](const PyRoom& self, const py::handle& path) {
            const std::string file = pathOf(path);
            py::gil_scoped_release release;
            roombox::writeCuboidText(*self.room, file);
          },
          py::arg("path"),
          "Writes the cuboid text file: the room box, then one row per box.")
      .def(
          "write_scene",
          [](const PyRoom& self, const py::handle& path) {
            const std::string file = pathOf(path);
            py::gil_scoped_release release;
            roombox::writeSceneFile(self.room->sceneText, file);
          },
          py::arg("path"), "Writes the scene description (JSON) and a line feed.")
      .def("write_mesh", &writeMesh, py::arg("path"), py::arg("save_option"),
           py::arg("texture") = py::none(),
           "Writes the mesh file of a save option: 0 an OBJ with one group per object,\n"
           "1 an OBJ with vertex colours, 2 a textured OBJ (its material file is\n"
           "path + '.mtl' and names the texture image `texture` by its file name; by\n"
           "default '<prefix>-texture.png' for a path '<prefix>-rect.obj', as the command\n"
           "line names it, otherwise the path without its extension + '-texture.png'),\n"
           "3 a coloured OFF.")
      .def("write_glb", &writeGlb, py::arg("path"), py::arg("panorama") = py::none(),
           "Writes the room as binary glTF with a texture atlas baked from the panorama\n"
           "(by default the one it was reconstructed from; the atlas is then baked once\n"
           "and shared with write_baked_obj).")
      .def("write_baked_obj", &writeBakedObj, py::arg("path"), py::arg("panorama") = py::none(),
           "Writes the model of write_glb as OBJ at path, with its material file\n"
           "path + '.mtl' and the atlas image beside it: path without a trailing '.obj'\n"
           "+ '.jpg' ('room-baked.obj' goes with 'room-baked.jpg').")
      .def(
          "write_preview",
          [](const PyRoom& self, const py::handle& path, const py::object& panorama) {
            const std::string file = pathOf(path);
            py::object keep;
            const cv::Mat image = writerPanorama(self, panorama, keep);
            py::gil_scoped_release release;
            roombox::writePreview(*self.room, image, file);
          },
          py::arg("path"), py::arg("panorama") = py::none(),
          "Writes a PNG picture of the reconstruction over the panorama (by default the\n"
          "one it was reconstructed from), with a plan seen from above.");

  m.def("read_plane_info", &readPlaneInfo, py::arg("path"),
        "Reads a plane info file. Raises roombox.Error when it cannot be opened or is\n"
        "malformed.");
  m.def(
      "read_panorama",
      [](const py::handle& path) {
        const std::string file = pathOf(path);
        cv::Mat image;
        {
          py::gil_scoped_release release;
          image = roombox::readPanorama(file);
        }
        return arrayOfImage(image);
      },
      py::arg("path"),
      "Reads an image as an (H, W, 3) uint8 array in BGR order, the pixels\n"
      "cv2.imread gives. Raises roombox.Error when it cannot be read.");
  m.def("reconstruct", &reconstruct, py::arg("planes"), py::arg("panorama"),
        "Rebuilds the room from its planes (a PlaneList or the path of a plane info\n"
        "file) and the panorama seen from its origin (an (H, W, 3) uint8 BGR array, or\n"
        "the path of an image). Releases the GIL while it runs.");
  m.def("run", &run, py::arg("base_path"), py::arg("plane_file"), py::arg("prefix"),
        py::arg("save_option"), py::arg("glb") = false, py::arg("baked_obj") = false,
        py::arg("preview") = false, py::arg("threads") = 0,
        "Does what the command line `roombox base_path plane_file prefix save_option`\n"
        "does (with --glb, --baked-obj, --preview as asked): the same console lines on\n"
        "standard output and the same files, and returns the paths of the files it\n"
        "wrote. base_path is glued in front of every file name as it stands. threads:\n"
        "how many threads the run may use for the panorama decode and the atlas\n"
        "baking (0: as suits the machine; 1 when rooms run side by side).");
  m.def("_run_command_line", &runCommandLine, py::arg("argv"));
}
