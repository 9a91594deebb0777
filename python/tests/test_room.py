"""Reading and reconstructing from Python: the arrays hold what the files of
a run hold, and the writers write what the run writes."""

import json
import os

import numpy as np
import pytest

import roombox
from conftest import EXAMPLES, copy_example, folder_files, run_binary

PLANES = os.path.join(EXAMPLES, "planes.txt")
PANORAMA = os.path.join(EXAMPLES, "shifted_t.png")


@pytest.fixture(scope="module")
def example_run(tmp_path_factory):
    """The example room run with save option 0 and its Room."""
    room_dir = copy_example(str(tmp_path_factory.mktemp("run")))
    roombox.run(room_dir, "planes.txt", "room", 0)
    room = roombox.reconstruct(roombox.read_plane_info(PLANES), roombox.read_panorama(PANORAMA))
    return room_dir, room


def test_arrays_hold_the_numbers_of_the_cuboid_text(example_run):
    room_dir, room = example_run
    with open(room_dir + "room_cuboid.txt") as f:
        lines = f.read().splitlines()
    count, resolution = lines[0].split()
    rows = np.array([[float(v) for v in line.split()] for line in lines[1:]], dtype=np.float64)
    assert int(count) == len(room.cuboids) + 1
    assert float(resolution) == pytest.approx(room.cube_resolution)
    assert room.cuboids.dtype == np.float32 and room.cuboids.shape == (int(count) - 1, 9)
    # The text has six decimals: the arrays round to the same text.
    assert ["%f" % v for v in rows[1:].ravel()] == ["%f" % v for v in room.cuboids.ravel()]
    assert ["%f" % v for v in rows[0, 1:7]] == [
        "%f" % room.room_min[0], "%f" % room.room_max[0], "%f" % room.room_min[1],
        "%f" % room.room_max[1], "%f" % room.room_min[2], "%f" % room.room_max[2]]
    assert room.cuboid_faces.shape == (len(room.cuboids), 6) and room.cuboid_faces.dtype == bool


def test_groups_and_scene_follow_the_scene_description(example_run):
    room_dir, room = example_run
    with open(room_dir + "room.JSON") as f:
        text = f.read()
    assert text == room.scene_text + "\n"
    pairs = json.loads(text, object_pairs_hook=lambda items: items)
    assert [name for name, _ in pairs] == list(room.scene) == [g["name"] for g in room.groups]
    faces_seen = []
    for (name, members), group in zip(pairs, room.groups):
        materials = [value for key, value in members if key == "Material"]
        assert room.scene[name]["Materials"] == materials == group["materials"]
        assert room.scene[name]["Category"] == group["category"]
        assert "Material" not in room.scene[name]
        faces_seen.extend(group["faces"])
        if group["cuboid"] is not None:  # a box: its entry's centre is its row's
            box = room.cuboids[group["cuboid"]]
            centre = (float(box[1]) + float(box[2])) / 2
            assert room.scene[name]["Centre_x"] == pytest.approx(centre, abs=1e-6)
    # Every rectangle of the mesh belongs to exactly one group.
    assert sorted(faces_seen) == list(range(len(room.faces)))


def test_mesh_arrays_match_the_mesh_file(tmp_path, example_run):
    room_dir, room = example_run
    vertices, faces = [], []
    with open(room_dir + "room-rect-Object.obj") as f:
        for line in f:
            if line.startswith("v "):
                vertices.append([float(v) for v in line.split()[1:4]])
            elif line.startswith("f "):
                faces.append([int(v.split("/")[0]) - 1 for v in line.split()[1:5]])
    assert room.vertices.dtype == np.float64 and room.faces.dtype == np.int32
    np.testing.assert_allclose(room.vertices, np.array(vertices), atol=5e-7)
    np.testing.assert_array_equal(room.faces, np.array(faces))
    # The textured mesh has one texture coordinate per vertex, in the same
    # order, and one more after them.
    room.write_mesh(tmp_path / "room.obj", 2)
    uv = [[float(v) for v in line.split()[1:3]]
          for line in (tmp_path / "room.obj").read_text().splitlines() if line.startswith("vt ")]
    assert room.uv.dtype == np.float64 and len(uv) == len(room.vertices) + 1
    np.testing.assert_allclose(room.uv, np.array(uv[:-1]), atol=5e-7)


def test_writers_write_the_files_of_a_run(tmp_path, example_run):
    _, room = example_run
    run_dir = copy_example(str(tmp_path / "run"))
    roombox.run(run_dir, "planes.txt", "room", 2, glb=True, baked_obj=True, preview=True)
    expected = folder_files(run_dir)
    out = tmp_path / "python"
    out.mkdir()
    room.write_cuboid_text(out / "room_cuboid.txt")
    room.write_scene(str(out / "room.JSON"))
    room.write_mesh(str(out / "room-rect.obj"), 2)
    room.write_glb(out / "room.glb")
    room.write_baked_obj(str(out / "room-baked.obj"))
    room.write_preview(out / "room-preview.png", roombox.read_panorama(PANORAMA))
    for name, contents in folder_files(str(out)).items():
        assert contents == expected[name], name
    for option, name in ((0, "room-rect-Object.obj"), (1, "room-rect-Object-colour.obj"),
                         (3, "room-rect-Object.off")):
        room.write_mesh(out / name, option)
        roombox.run(run_dir, "planes.txt", "room", option)
        assert (out / name).read_bytes() == (tmp_path / "run" / name).read_bytes()
    with pytest.raises(ValueError):
        room.write_mesh(out / "room.obj", 4)


def test_a_textured_mesh_of_any_name_finds_its_material_file(tmp_path, example_run):
    _, room = example_run
    out = tmp_path / "models" / "a"
    out.mkdir(parents=True)
    room.write_mesh(out / "scene.obj", 2)
    obj = (out / "scene.obj").read_text()
    mtllib = [line.split(" ", 1)[1] for line in obj.splitlines() if line.startswith("mtllib ")]
    assert mtllib == ["scene.obj.mtl"] and (out / mtllib[0]).is_file()
    assert "map_Kd scene-texture.png\n" in (out / mtllib[0]).read_text()


def test_plane_list_from_array_is_the_list_the_reader_gives():
    read = roombox.read_plane_info(PLANES)
    assert len(read) == len(read.planes) == 50 and read.planes.dtype == np.float32
    built = roombox.PlaneList.from_array(read.planes.astype(np.float64), read.cube_resolution)
    np.testing.assert_array_equal(built.equations, read.equations)
    np.testing.assert_array_equal(built.planes, read.planes)
    assert built.cube_resolution == read.cube_resolution
    panorama = roombox.read_panorama(PANORAMA)
    assert roombox.reconstruct(built, panorama).scene_text == \
        roombox.reconstruct(read, panorama).scene_text

    bad = read.planes.copy()
    bad[3, 1] = 10  # no such type
    for planes in (bad, read.planes[:, :11], np.where(np.arange(12) == 10, 15, read.planes),
                   np.where(np.arange(12) == 4, np.inf, read.planes)):
        with pytest.raises(ValueError):
            roombox.PlaneList.from_array(planes, 0.05)
    with pytest.raises(ValueError):
        roombox.PlaneList.from_array(read.planes, float("nan"))


def test_panoramas_are_bgr_uint8_arrays():
    panorama = roombox.read_panorama(PANORAMA)
    assert panorama.dtype == np.uint8 and panorama.shape == (1024, 2048, 3)
    planes = roombox.read_plane_info(PLANES)
    expected = roombox.reconstruct(planes, PANORAMA)
    # A view that is not C-contiguous is taken as its pixels.
    wide = np.zeros((1024, 2048, 4), dtype=np.uint8)
    wide[:, :, :3] = panorama
    room = roombox.reconstruct(planes, wide[:, :, :3])
    np.testing.assert_array_equal(room.uv, expected.uv)
    # The room keeps its own copy: changing the array later changes nothing.
    copy = panorama.copy()
    room = roombox.reconstruct(planes, copy)
    copy[:] = 0
    np.testing.assert_array_equal(room.uv, expected.uv)
    for wrong in (panorama.astype(np.float32), panorama[:, :, 0], panorama[:, :, :2], [[1, 2, 3]]):
        with pytest.raises((TypeError, ValueError)):
            roombox.reconstruct(planes, wrong)


def test_acoustics_are_the_file_the_command_writes(tmp_path, example_run, roombox_binary):
    _, room = example_run
    run_dir = copy_example(str(tmp_path / "run"))
    run_binary(roombox_binary, run_dir, "planes.txt", "room", "2", "--acoustics", "--air", "25,40")
    room.write_acoustics(tmp_path / "room-acoustics.json", temperature=25.0, humidity=40.0)
    written = (tmp_path / "room-acoustics.json").read_bytes()
    assert written == (tmp_path / "run" / "room-acoustics.json").read_bytes()
    assert room.acoustics(temperature=25.0, humidity=40.0) == json.loads(written)
    bad = tmp_path / "bad.json"
    bad.write_text('{"materials": 3}')
    with pytest.raises(roombox.Error, match="bad.json: \"materials\": it is not a list"):
        room.acoustics(materials=bad)


def _float_wav(data):
    """(channels, rate, samples) of a 32-bit float WAV file's bytes; Python's
    wave module reads integer PCM only, so the chunks are walked here."""
    import struct
    assert data[:4] == b"RIFF" and data[8:12] == b"WAVE"
    assert struct.unpack_from("<I", data, 4)[0] == len(data) - 8
    at, fmt, samples = 12, None, None
    while at + 8 <= len(data):
        tag, size = data[at:at + 4], struct.unpack_from("<I", data, at + 4)[0]
        if tag == b"fmt ":
            fmt = struct.unpack_from("<HHIIHH", data, at + 8)
        elif tag == b"data":
            samples = np.frombuffer(data[at + 8:at + 8 + size], dtype="<f4")
        at += 8 + size + (size & 1)
    assert fmt is not None and samples is not None
    tag, channels, rate, byte_rate, block, bits = fmt
    assert (tag, bits, block, byte_rate) == (3, 32, 4 * channels, 4 * channels * rate)
    return channels, rate, samples


def test_impulse_response_arrives_at_the_sound_path_and_is_the_written_file(
        tmp_path, example_run, roombox_binary):
    _, room = example_run
    source = (0.3, 0.2, 0.0)
    mono = room.impulse_response(source=source, rate=24000)
    assert mono.dtype == np.float32 and mono.ndim == 1 and len(mono) > 1000
    assert np.isfinite(mono).all()
    # The direct sound from the source to the capture point comes first and
    # loudest.
    speed = room.acoustics()["conditions"]["speed_of_sound"]
    arrival = np.hypot(0.3, 0.2) / speed * 24000
    assert abs(int(np.argmax(np.abs(mono))) - arrival) <= 1.0
    ambix = room.impulse_response(source, rate=24000, format="ambix")
    assert ambix.dtype == np.float32 and ambix.shape == (len(mono), 4)
    assert np.array_equal(ambix[:, 0], mono)

    # The file is the one roombox --rir writes, and reads back as the array.
    room.write_rir(tmp_path / "room-rir.wav", source=list(source), format="ambix", seed=3)
    written = (tmp_path / "room-rir.wav").read_bytes()
    channels, rate, samples = _float_wav(written)
    assert (channels, rate) == (4, 48000)
    assert np.array_equal(samples.reshape(-1, 4),
                          room.impulse_response(source, format="ambix", seed=3))
    run_dir = copy_example(str(tmp_path / "run"))
    run_binary(roombox_binary, run_dir, "planes.txt", "room", "0", "--rir", "--rir-source",
               "0.3,0.2,0", "--rir-format", "ambix", "--rir-seed", "3")
    assert written == (tmp_path / "run" / "room-rir.wav").read_bytes()

    # A position or value the room cannot take is a ValueError with the
    # library's message; nothing is written.
    for arguments, message in [({"source": (100, 0, 0)}, "source 100,0,0 lies outside the room box"),
                               ({"receiver": (1, 2)}, "receiver is not three finite numbers"),
                               ({"format": "stereo"}, "format must be"),
                               ({"rate": 1000}, "sample rate must lie within")]:
        with pytest.raises(ValueError, match=message):
            room.write_rir(tmp_path / "refused.wav", **arguments)
    assert not (tmp_path / "refused.wav").exists()
