"""Many rooms from Python: the same rooms run one by one and on a pool of
threads (roombox.process_rooms), the median wall time of each and their
ratio, as a markdown table row.

    python3 bench/python_threads.py [--rooms 8] [--jobs 2] [--repeats 3]

The rooms are copies of the example room (examples/) in a temporary folder,
each run as the command line runs it with save option 2; every timed run
gets fresh copies (made before the clock starts), so that it writes every
output anew, as bench/batch-benchmark.sh does: replacing an earlier run's
files frees their blocks, which on a filesystem mounted with `discard` waits
for the disk. The roombox
package must be importable (installed with pip, or PYTHONPATH=<build>/python
for a build made with -DROOMBOX_PYTHON=ON). The console lines of the runs are
dropped."""

import argparse
import os
import shutil
import statistics
import sys
import tempfile
import time

import roombox

EXAMPLES = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "examples")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--rooms", type=int, default=8)
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--repeats", type=int, default=3)
    args = parser.parse_args()

    with tempfile.TemporaryDirectory() as work:

        def fresh_rooms():
            """Fresh copies of the example room, in place of the last ones."""
            rooms = []
            for i in range(args.rooms):
                folder = os.path.join(work, "room%d" % i)
                shutil.rmtree(folder, ignore_errors=True)
                os.makedirs(folder)
                for name in ("planes.txt", "shifted_t.png"):
                    shutil.copyfile(os.path.join(EXAMPLES, name), os.path.join(folder, name))
                rooms.append(folder)
            os.sync()
            return rooms

        # The runs print their console lines with printf: standard output goes
        # to /dev/null while they run.
        sys.stdout.flush()
        saved = os.dup(1)
        os.dup2(os.open(os.devnull, os.O_WRONLY), 1)
        try:
            one_by_one, threaded = [], []
            for _ in range(args.repeats):
                rooms = fresh_rooms()
                start = time.perf_counter()
                for folder in rooms:
                    roombox.run(folder + "/", "planes.txt", "room", 2)
                one_by_one.append(time.perf_counter() - start)
                rooms = fresh_rooms()
                start = time.perf_counter()
                results = roombox.process_rooms(rooms, jobs=args.jobs)
                threaded.append(time.perf_counter() - start)
                assert all(r.ok for r in results), [r.error for r in results if not r.ok]
        finally:
            sys.stdout.flush()
            os.dup2(saved, 1)

    sequential = statistics.median(one_by_one)
    parallel = statistics.median(threaded)
    print("| rooms | threads | repeats | one by one (s) | on threads (s) | threads / one by one |")
    print("|---|---|---|---|---|---|")
    print("| %d | %d | %d | %.3f | %.3f | %.3f |" % (args.rooms, args.jobs, args.repeats, sequential,
                                                  parallel, parallel / sequential))


if __name__ == "__main__":
    main()
