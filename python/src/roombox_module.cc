// The Python module roombox._roombox: the library's readers, reconstruction
// and writers over numpy arrays, and the command line. The package roombox
// (python/roombox/__init__.py) re-exports it with the parts written in
// Python (groups, scene, process_rooms).
//
// Every call that reads files, reconstructs or writes releases the GIL, so
// that rooms on several Python threads run in parallel; the arguments are
// copied or kept referenced before it is released. Failures of the library
// become roombox.Error with the message the command line prints on its line;
// running out of memory becomes MemoryError.

#include "conversions.h"
#include "driver/command_line.h"
#include "acoustics_binding.h"
#include "rir_binding.h"
#include "run_binding.h"
#include "driver/run_sequence.h"
#include "roombox/roombox.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <opencv2/core.hpp>

#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace py = pybind11;
using namespace roombox_python;

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

PyPlaneList readPlaneInfo(const py::handle& path) {
  const std::string file = pathOf(path);
  py::gil_scoped_release release;
  return PyPlaneList{std::make_shared<const roombox::PlaneList>(roombox::readPlaneInfo("", file))};
}

// A plane list from an (N, 12) array of plane records; what the library
// rejects in them is a ValueError here.
PyPlaneList planeListFromArray(const py::array_t<float, py::array::c_style | py::array::forcecast>& planes,
                               double cubeResolution) {
  const std::vector<roombox::Plane> records = planeRecordsOf(planes);
  try {
    return PyPlaneList{std::make_shared<const roombox::PlaneList>(
        roombox::planeListFromRecords(records, static_cast<float>(cubeResolution)))};
  } catch (const roombox::Error& e) {
    throw py::value_error(e.what());
  }
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
  const auto bake = [&] {
    return std::make_shared<const roombox::BakedAtlas>(roombox::bakeAtlas(
        self.room->rectangles.mesh, self.room->rectangles.groups, self.room->cuboids, panorama));
  };
  if (!own) return bake();
  std::lock_guard<std::mutex> hold(*self.atlasLock);
  if (!self.atlas) self.atlas = bake();
  return self.atlas;
}

// Writes the mesh file of a save option; an option that writes none is a
// ValueError here.
void writeMesh(const PyRoom& self, const py::handle& pathArgument, int saveOption,
               const py::object& texture) {
  const std::string path = pathOf(pathArgument);
  // No texture name: the writer names the one a run writes beside the path.
  const std::string textureName = texture.is_none() ? std::string() : pathOf(texture);
  bool written = false;
  {
    py::gil_scoped_release release;
    written = roombox::writeSaveOptionMesh(*self.room, saveOption, path, textureName);
  }
  if (!written) throw py::value_error("the save option must be 0, 1, 2 or 3");
}

void writeGlb(PyRoom& self, const py::handle& pathArgument, const py::object& panorama) {
  const std::string path = pathOf(pathArgument);
  py::object keep;
  const cv::Mat image = writerPanorama(self, panorama, keep);
  py::gil_scoped_release release;
  const auto atlas = atlasOf(self, image, panorama.is_none());
  roombox::writeGlb(*self.room, path, *atlas);
}

void writeBakedObj(PyRoom& self, const py::handle& pathArgument, const py::object& panorama) {
  const std::string path = pathOf(pathArgument);
  py::object keep;
  const cv::Mat image = writerPanorama(self, panorama, keep);
  py::gil_scoped_release release;
  const auto atlas = atlasOf(self, image, panorama.is_none());
  roombox::writeBakedObj(*self.room, path, *atlas);
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
      error(e.what());
    } catch (const std::bad_alloc&) {
      PyErr_SetString(PyExc_MemoryError, "Out of memory");
    } catch (const std::exception&) {
      // OpenCV's failures and any other, worded as the command line words them.
      error(roombox::currentFailure().message.c_str());
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
      .def_property_readonly(
          "planes", [](const PyPlaneList& self) { return planesArray(self.list->planes); },
                             "(N, 12) float32: the plane records, in from_array's column order.")
      .def_property_readonly(
          "equations", [](const PyPlaneList& self) { return equationsArray(self.list->equations); },
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
          "room_min", [](const PyRoom& self) { return cornerArray(self.room->room.roomMin); },
          "(3,) float32: the room box's lower corner (x, y, z).")
      .def_property_readonly(
          "room_max", [](const PyRoom& self) { return cornerArray(self.room->room.roomMax); },
          "(3,) float32: the room box's upper corner (x, y, z).")
      .def_property_readonly(
          "cuboids", [](const PyRoom& self) { return cuboidsArray(self.room->cuboids); },
                             "(M, 9) float32: one row per box as in the cuboid text file (kind,\n"
                             "minX, maxX, minY, maxY, minZ, maxZ, category, material).")
      .def_property_readonly(
          "cuboid_faces", [](const PyRoom& self) { return cuboidFacesArray(self.room->cuboidFaces); },
                             "(M, 6) bool: whether each box face (minX, maxX, minY, maxY, minZ,\n"
                             "maxZ) is in the mesh.")
      .def_property_readonly(
          "vertices", [](const PyRoom& self) { return verticesArray(self.room->rectangles.mesh); }, "(V, 3) float64: mesh vertex positions.")
      .def_property_readonly(
          "faces", [](const PyRoom& self) { return facesArray(self.room->rectangles.mesh); },
                             "(F, 4) int32: the rectangles of the mesh, as rows of vertices.")
      .def_property_readonly(
          "uv", [](const PyRoom& self) { return uvArray(self.room->rectangles.mesh); },
                             "(V, 2) float64: each vertex's texture coordinate in the panorama.")
      .def_property_readonly(
          "scene_text", [](const PyRoom& self) { return self.room->sceneText; },
          "The scene description (JSON) exactly as write_scene writes it, without its\n"
          "final line feed.")
      .def_property_readonly(
          "cube_resolution", [](const PyRoom& self) { return self.room->planes.cubeResolution; },
          "The grid step of the room.")
      .def("_entries", [](const PyRoom& self) { return entryTuples(self.room->scene); })
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
            roombox::writeSceneFile(*self.room, file);
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
            roombox::writePreview(*self.room, file, image);
          },
          py::arg("path"), py::arg("panorama") = py::none(),
          "Writes a PNG picture of the reconstruction over the panorama (by default the\n"
          "one it was reconstructed from), with a plan seen from above.")
      .def(
          "_acoustics_text",
          [](const PyRoom& self, const py::object& materials, double temperature, double humidity) {
            std::optional<std::string> table;
            if (!materials.is_none()) table = pathOf(materials);
            py::gil_scoped_release release;
            return acousticsTextFor(*self.room, table, temperature, humidity);
          },
          py::arg("materials"), py::arg("temperature"), py::arg("humidity"))
      .def(
          "write_acoustics",
          [](const PyRoom& self, const py::handle& path, const py::object& materials,
             double temperature, double humidity) {
            const std::string file = pathOf(path);
            std::optional<std::string> table;
            if (!materials.is_none()) table = pathOf(materials);
            py::gil_scoped_release release;
            writeAcousticsFor(*self.room, file, table, temperature, humidity);
          },
          py::arg("path"), py::arg("materials") = py::none(), py::arg("temperature") = 20.0,
          py::arg("humidity") = 50.0,
          "Writes the room's acoustic model (see acoustics) to path as JSON, as\n"
          "roombox --acoustics writes <prefix>-acoustics.json.")
      .def(
          "impulse_response",
          [](const PyRoom& self, const py::object& source, const py::object& receiver, int rate,
             const std::string& format, std::uint64_t seed, const py::object& materials) {
            return impulseResponseFor(*self.room, source, receiver, rate, format, seed,
                                      materials);
          },
          py::arg("source") = py::none(), py::arg("receiver") = py::none(),
          py::arg("rate") = 48000, py::arg("format") = "mono", py::arg("seed") = 0,
          py::arg("materials") = py::none(),
          "The room's impulse response as roombox --rir computes it, float32: (N,) for\n"
          "\"mono\", (N, 4) for \"ambix\" (W, Y, Z, X). source and receiver are three\n"
          "numbers in metres; by default 1.5 m towards the panorama's centre and the\n"
          "capture point. Sample 0 is the emission. Raises ValueError for a position\n"
          "outside the room's air or a value out of range.")
      .def(
          "write_rir",
          [](const PyRoom& self, const py::handle& path, const py::object& source,
             const py::object& receiver, int rate, const std::string& format, std::uint64_t seed,
             const py::object& materials) {
            writeRirFor(*self.room, path, source, receiver, rate, format, seed, materials);
          },
          py::arg("path"), py::arg("source") = py::none(),
          py::arg("receiver") = py::none(), py::arg("rate") = 48000, py::arg("format") = "mono",
          py::arg("seed") = 0, py::arg("materials") = py::none(),
          "Writes impulse_response to path as a 32-bit float WAV file, as roombox --rir\n"
          "writes <prefix>-rir.wav.");

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
