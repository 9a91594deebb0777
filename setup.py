"""Builds the extension roombox._roombox with the project's CMake.

The metadata is in pyproject.toml; this file only runs CMake: it configures
a build folder with -DROOMBOX_PYTHON=ON for the running interpreter, builds
the target _roombox and puts the module into the package. The build folder is
setuptools' temporary folder, or ROOMBOX_BUILD_DIR when set (a folder kept
between installs, e.g. the one the test command builds in, so that an install
rebuilds only what changed).
"""

import os
import re
import shutil
import subprocess
import sys
import sysconfig

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

HERE = os.path.dirname(os.path.abspath(__file__))


def project_version():
    """The version in the project() line of the top-level CMakeLists.txt."""
    with open(os.path.join(HERE, "CMakeLists.txt"), encoding="utf-8") as cmake_lists:
        found = re.search(r"project\(\s*roombox\s+VERSION\s+([0-9.]+)", cmake_lists.read())
    if not found:
        raise RuntimeError("no project version in CMakeLists.txt")
    return found.group(1)


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build_dir = os.environ.get("ROOMBOX_BUILD_DIR") or os.path.join(
            os.path.abspath(self.build_temp), "cmake")
        build_dir = os.path.abspath(build_dir)
        os.makedirs(build_dir, exist_ok=True)
        configure = ["cmake", "-S", HERE, "-B", build_dir, "-DROOMBOX_PYTHON=ON"]
        # A folder of its own is configured in full: an optimised build without
        # the tests, for this interpreter. A kept folder keeps its own settings
        # (the module it builds must still suit this interpreter: checked below).
        if not os.environ.get("ROOMBOX_BUILD_DIR"):
            configure += ["-DCMAKE_BUILD_TYPE=Release", "-DROOMBOX_TESTS=OFF",
                          "-DPython_EXECUTABLE=" + sys.executable]
        try:
            import pybind11  # pip's pybind11 when building in isolation
            configure.append("-Dpybind11_DIR=" + pybind11.get_cmake_dir())
        except ImportError:
            pass  # Debian's pybind11-dev, found by CMake itself
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL") or str(os.cpu_count() or 1)
        subprocess.run(configure, check=True)
        subprocess.run(["cmake", "--build", build_dir, "--target", "_roombox", "-j", jobs],
                       check=True)
        built = os.path.join(build_dir, "python", "roombox")
        suffix = sysconfig.get_config_var("EXT_SUFFIX")
        modules = [name for name in os.listdir(built) if name == "_roombox" + suffix]
        if not modules:
            raise RuntimeError("%s holds no _roombox%s: the build folder was made for another "
                               "Python" % (built, suffix))
        target = self.get_ext_fullpath(ext.name)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(os.path.join(built, modules[0]), target)
        # roombox's codec library, which the module loads from beside itself
        # when it first decodes or encodes an image through OpenCV.
        shutil.copyfile(os.path.join(built, "libroombox_codecs.so"),
                        os.path.join(os.path.dirname(target), "libroombox_codecs.so"))


setup(
    version=project_version(),
    ext_modules=[Extension("roombox._roombox", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    options={"build": {"build_base": "build-pip"}},
)
