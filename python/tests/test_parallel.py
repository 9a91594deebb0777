"""Many rooms: on Python threads, on process_rooms' pool and on a dask
cluster, the results are those of running the rooms one by one."""

import os
import subprocess
import sys
import threading

import pytest

import roombox
from conftest import EXAMPLES, copy_example, folder_files


def summary(room):
    """Everything a reconstruction gives, for comparing two of them."""
    return (room.scene_text, room.cuboids.tobytes(), room.cuboid_faces.tobytes(),
            room.vertices.tobytes(), room.faces.tobytes(), room.uv.tobytes(),
            room.room_min.tobytes(), room.room_max.tobytes())


def test_reconstructions_on_threads_equal_sequential_ones(generated_rooms):
    rooms = [EXAMPLES + "/"] + generated_rooms
    inputs = [(roombox.read_plane_info(r + "planes.txt"), roombox.read_panorama(r + "shifted_t.png"))
              for r in rooms]
    sequential = [summary(roombox.reconstruct(p, pano)) for p, pano in inputs]
    results = [None] * (2 * len(inputs))
    failures = []

    def work(slot):
        try:
            planes, panorama = inputs[slot % len(inputs)]
            results[slot] = summary(roombox.reconstruct(planes, panorama))
        except Exception as error:  # reported below, not lost with the thread
            failures.append(error)

    threads = [threading.Thread(target=work, args=(slot,)) for slot in range(len(results))]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert failures == []
    assert results == sequential + sequential


def test_other_python_threads_run_while_reconstruct_works(tmp_path, make_example_room):
    """Told apart without timing: with a switch interval far longer than the
    test, the interpreter never takes the GIL from the thread that holds it,
    so a thread woken just before the call runs during it only when the
    call lets the GIL go. A room of 2000 planes keeps the call busy long
    enough for the woken thread to be scheduled."""
    subprocess.run([make_example_room, str(tmp_path), "--planes", "2000", "--no-panorama"],
                   check=True, stdout=subprocess.DEVNULL)
    planes = roombox.read_plane_info(tmp_path / "planes.txt")
    panorama = roombox.read_panorama(EXAMPLES + "/shifted_t.png")
    go = threading.Event()
    state = {"in_call": False, "seen": None}

    def watch():
        go.wait()
        state["seen"] = state["in_call"]

    interval = sys.getswitchinterval()
    sys.setswitchinterval(1000.0)
    try:
        watcher = threading.Thread(target=watch)
        watcher.start()
        go.set()
        state["in_call"] = True
        roombox.reconstruct(planes, panorama)
        state["in_call"] = False
        watcher.join()
    finally:
        sys.setswitchinterval(interval)
    assert state["seen"] is True


def test_process_rooms_returns_one_result_per_room_and_goes_on_after_a_failure(tmp_path):
    good = [copy_example(str(tmp_path / name)) for name in ("a", "b", "c")]
    broken = str(tmp_path / "broken")
    os.makedirs(broken)  # no plane info file
    rooms = [good[0], broken, good[1].rstrip("/"), good[2]]
    results = roombox.process_rooms(rooms, jobs=2, save_option=0, preview=True)
    assert [r.room for r in results] == [os.fsdecode(r) for r in rooms]
    assert [r.ok for r in results] == [True, False, True, True]
    assert results[1].error.startswith("Cannot open the texture image - " + broken + "/")
    assert results[1].files == []
    reference = copy_example(str(tmp_path / "reference"))
    roombox.run(reference, "planes.txt", "room", 0, preview=True)
    for result in (results[0], results[2], results[3]):
        assert folder_files(result.room) == folder_files(reference)
        assert all(os.path.isfile(f) for f in result.files)
    with pytest.raises(TypeError):
        roombox.process_rooms(rooms, colour=True)


def test_a_dask_cluster_runs_rooms_as_a_sequential_run_does(tmp_path, generated_rooms):
    distributed = pytest.importorskip("distributed")

    def run_room(folder):  # a nested function: dask sends it by value
        import roombox as on_worker
        return on_worker.run(folder, "planes.txt", "room", 2, glb=True)

    sources = [EXAMPLES + "/"] + generated_rooms
    on_cluster = [copy_inputs(s, str(tmp_path / ("cluster%d" % i))) for i, s in enumerate(sources)]
    one_by_one = [copy_inputs(s, str(tmp_path / ("one%d" % i))) for i, s in enumerate(sources)]
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as cluster, \
            distributed.Client(cluster) as client:
        assert len(client.scheduler_info()["workers"]) == 2
        written = client.gather(client.map(run_room, on_cluster))
    for cluster_folder, files, folder in zip(on_cluster, written, one_by_one):
        assert [f.replace(cluster_folder, folder) for f in files] == run_room(folder)
        assert folder_files(cluster_folder) == folder_files(folder)


def copy_inputs(source, folder):
    """A copy of the plane info file and panorama of the room in source."""
    os.makedirs(folder)
    for name in ("planes.txt", "shifted_t.png"):
        with open(os.path.join(source, name), "rb") as f, \
                open(os.path.join(folder, name), "wb") as g:
            g.write(f.read())
    return folder + "/"
