"""roombox.run and python3 -m roombox against the roombox command: the same
files byte for byte, the same console, the same failures."""

import os
import subprocess
import sys

import pytest

import roombox
from conftest import EXAMPLES, copy_example, folder_files, run_binary


@pytest.mark.parametrize("save_option,extras", [
    (0, {}), (1, {}), (3, {}), (7, {}),
    (2, {"glb": True, "baked_obj": True, "preview": True}),
])
def test_run_writes_the_files_of_the_command_line(tmp_path, roombox_binary, capfd, save_option,
                                                  extras):
    ours = copy_example(str(tmp_path / "python"))
    theirs = copy_example(str(tmp_path / "command"))
    inputs = set(os.listdir(ours))

    written = roombox.run(ours, "planes.txt", "room", save_option, **extras)
    console = capfd.readouterr().out

    flags = {"glb": "--glb", "baked_obj": "--baked-obj", "preview": "--preview"}
    status, expected_console = run_binary(roombox_binary, theirs, "planes.txt", "room",
                                          str(save_option), *[flags[k] for k in extras])
    assert status == 1
    assert console == expected_console.replace(theirs, ours)
    expected = folder_files(theirs)
    assert folder_files(ours) == expected
    # The returned list names every file written, each once, and nothing else.
    assert sorted(written) == sorted(ours + name for name in set(expected) - inputs)


def test_python_m_roombox_is_the_command_line(tmp_path, roombox_binary):
    room = copy_example(str(tmp_path / "python"))
    for arguments in ([], ["--version"], [room, "missing.txt", "room", "0"], [room, "planes.txt",
                                                                            "room", "0"]):
        done = subprocess.run([sys.executable, "-m", "roombox", *arguments],
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, check=False)
        status, output = run_binary(roombox_binary, *arguments)
        assert done.returncode == status, arguments
        if arguments:
            assert done.stdout.decode() == output, arguments
        else:  # the usage text names the program as it was started
            assert done.stdout.decode() == output.replace(roombox_binary, "roombox")
    assert roombox.__version__ in subprocess.run([roombox_binary, "--version"],
                                                 stdout=subprocess.PIPE).stdout.decode()


MALFORMED = {
    "count": "x 0.05\n",
    "resolution": "1 nan\n",
    "record": "1 0.05\n1 7 -2.5 -2 2.5\n",
    "category": "1 0.05\n1 7 -2.5 -2 2.5 -1.4 1.3 -2.5 0.25 -0.05 1 0 0 2.5 15 132\n",
}


@pytest.mark.parametrize("case", sorted(MALFORMED))
def test_failures_carry_the_message_of_the_command_line(tmp_path, roombox_binary, case):
    room = copy_example(str(tmp_path))
    (tmp_path / "bad.txt").write_text(MALFORMED[case])
    status, output = run_binary(roombox_binary, room, "bad.txt", "room", "0")
    assert status == 2
    message = output[output.index("The file"):].rstrip("\n")

    with pytest.raises(roombox.Error) as run_error:
        roombox.run(room, "bad.txt", "room", 0)
    assert str(run_error.value) == message
    with pytest.raises(roombox.Error) as read_error:
        roombox.read_plane_info(room + "bad.txt")
    assert str(read_error.value) == message
    with pytest.raises(roombox.Error) as reconstruct_error:
        roombox.reconstruct(room + "bad.txt", room + "shifted_t.png")
    assert str(reconstruct_error.value) == message


def test_missing_and_unreadable_inputs_raise_errors(tmp_path):
    with pytest.raises(roombox.Error, match=r"^The file .*missing.txt was not opened$"):
        roombox.read_plane_info(tmp_path / "missing.txt")
    (tmp_path / "broken.png").write_bytes(b"\x89PNG\r\n\x1a\n broken")
    with pytest.raises(roombox.Error, match=r"^Cannot open the texture image - .*broken.png$"):
        roombox.read_panorama(tmp_path / "broken.png")
    room = roombox.reconstruct(os.path.join(EXAMPLES, "planes.txt"),
                               os.path.join(EXAMPLES, "shifted_t.png"))
    with pytest.raises(roombox.Error, match="^Cannot open .*no-folder/room.JSON$"):
        room.write_scene(tmp_path / "no-folder" / "room.JSON")
    assert issubclass(roombox.Error, Exception)
