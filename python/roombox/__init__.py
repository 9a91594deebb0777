"""roombox: rebuild a room as one box and its objects as axis-aligned boxes.

Read a room's planes and panorama, reconstruct it, look at the result as numpy
arrays and write its files::

    import roombox
    planes = roombox.read_plane_info("scene/planes.txt")
    panorama = roombox.read_panorama("scene/shifted_t.png")   # (H, W, 3) uint8, BGR
    room = roombox.reconstruct(planes, panorama)
    print(room.room_min, room.room_max, room.cuboids.shape)
    room.write_glb("scene/room.glb")

``roombox.run`` does what the command line does; ``roombox.process_rooms``
runs many room folders on a thread pool. Every failure of the library is
raised as ``roombox.Error`` with the message the command line prints.
Reconstructions and writers release the GIL, so rooms on several threads run
in parallel.
"""

import json
import os
from concurrent.futures import ThreadPoolExecutor
from typing import Any, Dict, Iterable, List, NamedTuple, Optional

from . import _roombox
from ._roombox import Error, PlaneList, Room, read_panorama, read_plane_info, reconstruct, run

__version__ = _roombox.__version__

__all__ = [
    "Error",
    "PlaneList",
    "Room",
    "RoomResult",
    "process_rooms",
    "read_panorama",
    "read_plane_info",
    "reconstruct",
    "run",
    "__version__",
]


def _without_materials(items):
    """Builds one object of the scene description without its repeated
    "Material" members: the scene model gives each entry's materials."""
    return {key: value for key, value in items if key != "Material"}


def _scene(self) -> Dict[str, Dict[str, Any]]:
    scene = json.loads(self.scene_text, object_pairs_hook=_without_materials)
    for name, _, materials, _, _, _ in self._entries():
        scene[name]["Materials"] = materials
    return scene


def _groups(self) -> List[Dict[str, Any]]:
    return [{
        "name": name,
        "category": category,
        "materials": materials,
        "faces": range(first, end),
        "cuboid": cuboid,
    } for name, category, materials, first, end, cuboid in self._entries()]


_scene.__doc__ = """The scene description as a dict: one entry per box, wall, floor and
ceiling under its name ("Bed_1"), in the document's order, each with its
"Category", its materials as a list under "Materials", its centre, lengths,
"absorption" and "scattering"."""

_groups.__doc__ = """The rectangle groups of the mesh in the scene description's order (every
box, then every wall, floor and ceiling): dicts with "name" (the scene
entry's name), "category", "materials" (a list), "faces" (a range of rows of
faces) and "cuboid" (the box's row in cuboids, None for a room surface)."""

Room.scene = property(_scene)
Room.groups = property(_groups)


class RoomResult(NamedTuple):
    """What process_rooms did for one room: the files written, or the message
    of the failure that stopped it."""

    room: str
    files: List[str]
    error: Optional[str]

    @property
    def ok(self) -> bool:
        return self.error is None


_RUN_OPTIONS = {"plane_file", "prefix", "save_option", "glb", "baked_obj", "preview"}


def _usable_cores() -> int:
    # The CPUs this process may run on (a batch scheduler's or container's
    # share), as the C++ library counts them.
    try:
        return max(1, len(os.sched_getaffinity(0)))
    except (AttributeError, OSError):
        return os.cpu_count() or 1


def process_rooms(rooms: Iterable["os.PathLike[str] | str"], jobs: Optional[int] = None,
                  **options: Any) -> List[RoomResult]:
    """Runs every room folder as the command line would, on a pool of `jobs`
    threads (None: one per core), and returns one RoomResult per room in the
    order given. A room that fails gives its error message and the others go
    on.

    Each folder is the base path of its run (a '/' is added when missing).
    options are those of run: plane_file ("planes.txt"), prefix ("room"),
    save_option (2), glb, baked_obj and preview (False). The console lines of
    the runs go to standard output as they come.
    """
    unknown = set(options) - _RUN_OPTIONS
    if unknown:
        raise TypeError("process_rooms() got unknown options: " + ", ".join(sorted(unknown)))
    settings = {"plane_file": "planes.txt", "prefix": "room", "save_option": 2}
    settings.update(options)
    folders = [os.fsdecode(room) for room in rooms]
    if jobs is not None and jobs < 1:
        raise ValueError("jobs must be at least 1")

    workers = jobs or _usable_cores()
    # Rooms side by side each keep to one thread: the cores go to the rooms.
    threads = 1 if workers > 1 else 0

    def one(folder: str) -> RoomResult:
        base = folder if folder.endswith("/") else folder + "/"
        try:
            return RoomResult(folder, run(base, threads=threads, **settings), None)
        except Error as error:
            return RoomResult(folder, [], str(error))
        except MemoryError:
            return RoomResult(folder, [], "Out of memory")

    with ThreadPoolExecutor(max_workers=workers) as pool:
        return list(pool.map(one, folders))
