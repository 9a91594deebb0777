#pragma once

// Conversions between Python values (paths, numpy arrays) and the library's
// records. Every array made here is a fresh copy; nothing here holds a rule of
// its own about what the records mean.

#include "roombox/roombox.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <opencv2/core.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace roombox_python {

namespace py = pybind11;

// A path argument: str, bytes or any os.PathLike, as os.fsdecode gives it.
std::string pathOf(const py::handle& value);

// Views a panorama array as an 8-bit BGR cv::Mat. The array must be uint8 of
// shape (H, W, 3); one that is not C-contiguous is copied. keep holds the
// array the Mat points into. Raises TypeError or ValueError otherwise.
cv::Mat panoramaOf(const py::handle& value, py::object& keep);

// A panorama argument: an array (viewed as panoramaOf views it) or a path
// (read with the GIL released).
cv::Mat panoramaArgument(const py::handle& value, py::object& keep);

// An (H, W, 3) uint8 array holding a copy of an 8-bit BGR image.
py::array_t<std::uint8_t> arrayOfImage(const cv::Mat& image);

// The plane records of an (N, 12) array, one row per plane in field order.
// Raises ValueError for another shape.
std::vector<roombox::Plane> planeRecordsOf(
    const py::array_t<float, py::array::c_style | py::array::forcecast>& planes);

// (N, 12) float32: the plane records in field order.
py::array_t<float> planesArray(const std::vector<roombox::Plane>& planes);

// (N, 4) float32: a, b, c, d of each plane equation.
py::array_t<float> equationsArray(const std::vector<roombox::PlaneEquation>& equations);

// (3,) float32: one corner of the room box.
py::array_t<float> cornerArray(const float corner[3]);

// (M, 9) float32: the boxes in field order.
py::array_t<float> cuboidsArray(const std::vector<roombox::Cuboid>& cuboids);

// (M, 6) bool: the shown-switch of every box face.
py::array_t<bool> cuboidFacesArray(const std::vector<roombox::CuboidFaces>& faces);

// (V, 3) float64 vertex positions, (V, 2) float64 texture coordinates (u, v)
// and (F, 4) int32 rectangles of a mesh.
py::array_t<double> verticesArray(const roombox::MeshStore& mesh);
py::array_t<double> uvArray(const roombox::MeshStore& mesh);
py::array_t<std::int32_t> facesArray(const roombox::MeshStore& mesh);

// The entries of a scene model as tuples (name, category name, materials,
// first rectangle, one past the last rectangle, the box's row in cuboids or
// None for a room surface), in the model's order.
py::list entryTuples(const roombox::SceneModel& scene);

}  // namespace roombox_python
