import os
from typing import Any, Dict, Iterable, List, NamedTuple, Optional, Sequence, Union

import numpy as np
import numpy.typing as npt

_Path = Union[str, bytes, "os.PathLike[str]", "os.PathLike[bytes]"]
# An (H, W, 3) uint8 array in BGR order, as OpenCV's cv2.imread gives it.
_Panorama = npt.NDArray[np.uint8]

__version__: str

class Error(Exception):
    """A failure of roombox, with the message the command line prints."""

class PlaneList:
    """The planes of a room: one record of 12 numbers per plane, its plane
    equation, and the room's cube resolution."""

    @staticmethod
    def from_array(planes: npt.ArrayLike, cube_resolution: float) -> "PlaneList": ...
    @property
    def planes(self) -> npt.NDArray[np.float32]: ...
    @property
    def equations(self) -> npt.NDArray[np.float32]: ...
    @property
    def cube_resolution(self) -> float: ...
    def __len__(self) -> int: ...

class Room:
    """A reconstructed room."""

    @property
    def room_min(self) -> npt.NDArray[np.float32]: ...
    @property
    def room_max(self) -> npt.NDArray[np.float32]: ...
    @property
    def cuboids(self) -> npt.NDArray[np.float32]: ...
    @property
    def cuboid_faces(self) -> npt.NDArray[np.bool_]: ...
    @property
    def vertices(self) -> npt.NDArray[np.float64]: ...
    @property
    def faces(self) -> npt.NDArray[np.int32]: ...
    @property
    def uv(self) -> npt.NDArray[np.float64]: ...
    @property
    def cube_resolution(self) -> float: ...
    @property
    def scene_text(self) -> str: ...
    @property
    def scene(self) -> Dict[str, Dict[str, Any]]: ...
    @property
    def groups(self) -> List[Dict[str, Any]]: ...
    def write_cuboid_text(self, path: _Path) -> None:
        """Writes the cuboid text file at path."""
    def write_scene(self, path: _Path) -> None: ...
    def write_mesh(self, path: _Path, save_option: int,
                   texture: Optional[_Path] = None) -> None:
        """Writes the mesh file of save option 0 to 3 at path. Option 2 also
        writes the material file path + '.mtl', naming `texture` (by default
        '<prefix>-texture.png' for a path '<prefix>-rect.obj', otherwise the
        path without its extension + '-texture.png')."""
    def write_glb(self, path: _Path, panorama: Union[_Panorama, _Path, None] = None) -> None: ...
    def write_baked_obj(self, path: _Path,
                        panorama: Union[_Panorama, _Path, None] = None) -> None:
        """Writes the baked model as OBJ at path, its material file path + '.mtl'
        and its atlas image: path without a trailing '.obj' + '.jpg'."""
    def write_preview(self, path: _Path,
                      panorama: Union[_Panorama, _Path, None] = None) -> None: ...
    def acoustics(self, materials: Optional[_Path] = None, temperature: float = 20.0,
                  humidity: float = 50.0) -> Dict[str, Any]:
        """The acoustic model as the dict of <prefix>-acoustics.json."""
    def write_acoustics(self, path: _Path, materials: Optional[_Path] = None,
                        temperature: float = 20.0, humidity: float = 50.0) -> None: ...
    def impulse_response(self, source: Optional[Sequence[float]] = None,
                         receiver: Optional[Sequence[float]] = None, rate: int = 48000,
                         format: str = "mono", seed: int = 0,
                         materials: Optional[_Path] = None) -> npt.NDArray[np.float32]:
        """float32 samples, (N,) for "mono" or (N, 4) for "ambix" (W, Y, Z, X)."""
    def write_rir(self, path: _Path, source: Optional[Sequence[float]] = None,
                  receiver: Optional[Sequence[float]] = None, rate: int = 48000,
                  format: str = "mono", seed: int = 0,
                  materials: Optional[_Path] = None) -> None: ...

class RoomResult(NamedTuple):
    room: str
    files: List[str]
    error: Optional[str]
    @property
    def ok(self) -> bool: ...

def read_plane_info(path: _Path) -> PlaneList: ...
def read_panorama(path: _Path) -> _Panorama: ...
def reconstruct(planes: Union[PlaneList, _Path], panorama: Union[_Panorama, _Path]) -> Room: ...
def run(base_path: _Path, plane_file: _Path, prefix: _Path, save_option: int, glb: bool = ...,
        baked_obj: bool = ..., preview: bool = ..., threads: int = ...) -> List[str]: ...
def process_rooms(rooms: Iterable[_Path], jobs: Optional[int] = ...,
                  **options: Any) -> List[RoomResult]: ...
