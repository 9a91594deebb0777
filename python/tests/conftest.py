"""Fixtures of the Python tests: the example room, the roombox command and
the example room generator of the same build.

ROOMBOX_BINARY and ROOMBOX_MAKE_EXAMPLE_ROOM name the command and the
generator; without them the tests look in the build folder `build` of the
clone. Tests that need one that is not there are skipped."""

import os
import shutil
import subprocess

import pytest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
EXAMPLES = os.path.join(ROOT, "examples")


def _tool(variable, default):
    path = os.environ.get(variable)
    if path:
        assert os.access(path, os.X_OK), "%s=%s is not an executable" % (variable, path)
        return path
    path = os.path.join(ROOT, "build", default)
    if not os.access(path, os.X_OK):
        pytest.skip("%s is not set and %s is not built" % (variable, path))
    return path


@pytest.fixture(scope="session")
def roombox_binary():
    return _tool("ROOMBOX_BINARY", "src/driver/roombox")


@pytest.fixture(scope="session")
def make_example_room():
    return _tool("ROOMBOX_MAKE_EXAMPLE_ROOM", "tools/make_example_room")


def copy_example(folder):
    """A copy of the example room's plane info file and panorama in folder."""
    os.makedirs(folder, exist_ok=True)
    for name in ("planes.txt", "shifted_t.png"):
        shutil.copyfile(os.path.join(EXAMPLES, name), os.path.join(folder, name))
    return folder + "/"


def run_binary(binary, *arguments, cwd=None, env=None):
    """Runs the roombox command; returns (exit status, standard output)."""
    done = subprocess.run([binary, *arguments], cwd=cwd, env=env, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, check=False)
    return done.returncode, done.stdout.decode()


def folder_files(folder):
    """Every file of folder by name, with its bytes."""
    files = {}
    for name in sorted(os.listdir(folder)):
        with open(os.path.join(folder, name), "rb") as f:
            files[name] = f.read()
    return files


@pytest.fixture(scope="session")
def generated_rooms(tmp_path_factory, make_example_room):
    """Two rooms from the example room generator, unlike the example room: a
    smaller panorama, and two furnished rooms side by side."""
    rooms = []
    for name, options in (("small", ["--width", "512", "--height", "256"]),
                          ("double", ["--rooms", "2", "--width", "1024", "--height", "512"])):
        folder = str(tmp_path_factory.mktemp(name))
        subprocess.run([make_example_room, folder, *options], check=True,
                       stdout=subprocess.DEVNULL)
        rooms.append(folder + "/")
    return rooms
