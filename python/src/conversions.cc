#include "conversions.h"

#include <pybind11/stl.h>

#include <climits>
#include <cstring>

namespace roombox_python {

namespace {

// A (rows, columns) array of T filled row by row: row(item, out) writes the
// columns of one item.
template <typename T, typename Item, typename Row>
py::array_t<T> rowsArray(const std::vector<Item>& items, py::ssize_t columns, const Row& row) {
  py::array_t<T> array({static_cast<py::ssize_t>(items.size()), columns});
  T* out = array.mutable_data();
  for (const Item& item : items) {
    row(item, out);
    out += columns;
  }
  return array;
}

}  // namespace

std::string pathOf(const py::handle& value) {
  const py::object decoded = py::module_::import("os").attr("fsdecode")(value);
  return decoded.cast<std::string>();
}

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

cv::Mat panoramaArgument(const py::handle& value, py::object& keep) {
  if (py::isinstance<py::array>(value)) return panoramaOf(value, keep);
  const std::string path = pathOf(value);
  py::gil_scoped_release release;
  return roombox::readPanorama(path);
}

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

std::vector<roombox::Plane> planeRecordsOf(
    const py::array_t<float, py::array::c_style | py::array::forcecast>& planes) {
  if (planes.ndim() != 2 || planes.shape(1) != 12) {
    throw py::value_error("planes must be an array of shape (N, 12)");
  }
  std::vector<roombox::Plane> records(static_cast<std::size_t>(planes.shape(0)));
  const float* row = planes.data();
  for (roombox::Plane& p : records) {
    p = {row[0], row[1], row[2], row[3], row[4],  row[5],
         row[6], row[7], row[8], row[9], row[10], row[11]};
    row += 12;
  }
  return records;
}

py::array_t<float> planesArray(const std::vector<roombox::Plane>& planes) {
  return rowsArray<float>(planes, 12, [](const roombox::Plane& p, float* out) {
    const float row[12] = {p.active,  p.type,    p.position, p.uMin,     p.uMax,     p.vMin,
                           p.vMax,    p.centreX, p.centreY,  p.centreZ,  p.category, p.material};
    std::memcpy(out, row, sizeof row);
  });
}

py::array_t<float> equationsArray(const std::vector<roombox::PlaneEquation>& equations) {
  return rowsArray<float>(equations, 4, [](const roombox::PlaneEquation& e, float* out) {
    const float row[4] = {e.a, e.b, e.c, e.d};
    std::memcpy(out, row, sizeof row);
  });
}

py::array_t<float> cornerArray(const float corner[3]) {
  py::array_t<float> array(py::ssize_t{3});
  std::memcpy(array.mutable_data(), corner, 3 * sizeof(float));
  return array;
}

py::array_t<float> cuboidsArray(const std::vector<roombox::Cuboid>& cuboids) {
  return rowsArray<float>(cuboids, 9, [](const roombox::Cuboid& c, float* out) {
    const float row[9] = {c.kind, c.minX, c.maxX, c.minY, c.maxY,
                          c.minZ, c.maxZ, c.category, c.material};
    std::memcpy(out, row, sizeof row);
  });
}

py::array_t<bool> cuboidFacesArray(const std::vector<roombox::CuboidFaces>& faces) {
  return rowsArray<bool>(faces, 6, [](const roombox::CuboidFaces& f, bool* out) {
    const int row[6] = {f.minXShown, f.maxXShown, f.minYShown,
                        f.maxYShown, f.minZShown, f.maxZShown};
    for (int k = 0; k < 6; ++k) out[k] = row[k] != 0;
  });
}

py::array_t<double> verticesArray(const roombox::MeshStore& mesh) {
  const py::ssize_t count = mesh.vertexCount;
  py::array_t<double> array({count, py::ssize_t{3}});
  double* out = array.mutable_data();
  for (py::ssize_t i = 0; i < count; ++i) {
    const roombox::MeshPoint& p = mesh.vertices[static_cast<std::size_t>(i)];
    *out++ = p.x;
    *out++ = p.y;
    *out++ = p.z;
  }
  return array;
}

py::array_t<double> uvArray(const roombox::MeshStore& mesh) {
  const py::ssize_t count = mesh.vertexCount;
  py::array_t<double> array({count, py::ssize_t{2}});
  double* out = array.mutable_data();
  for (py::ssize_t i = 0; i < count; ++i) {
    const roombox::TexCoord& t = mesh.texCoords[static_cast<std::size_t>(i)];
    *out++ = t.u;
    *out++ = t.v;
  }
  return array;
}

py::array_t<std::int32_t> facesArray(const roombox::MeshStore& mesh) {
  const py::ssize_t count = mesh.rectangleCount;
  py::array_t<std::int32_t> array({count, py::ssize_t{4}});
  std::int32_t* out = array.mutable_data();
  for (py::ssize_t r = 0; r < count; ++r) {
    const int* row = mesh.faces.ptr<int>(static_cast<int>(r));
    for (int k = 0; k < 4; ++k) *out++ = row[k];
  }
  return array;
}

py::list entryTuples(const roombox::SceneModel& scene) {
  py::list out;
  for (const roombox::SceneEntry& e : scene.entries) {
    const py::object cuboid = e.kind == roombox::EntryKind::kObject
                                  ? py::object(py::int_(e.sourceIndex))
                                  : py::object(py::none());
    const int end = e.lastRectangle + 1 > e.firstRectangle ? e.lastRectangle + 1 : e.firstRectangle;
    out.append(py::make_tuple(e.name, roombox::CategoryNames[e.category], py::cast(e.materials),
                              e.firstRectangle, end, cuboid));
  }
  return out;
}

}  // namespace roombox_python
