#!/usr/bin/env bash
# Benchmark of the report page (roombox-batch --html) at 10,000 rooms: a
# report of generated lines (done rooms with previews, GLBs and acoustics,
# one in twenty failed with one of a few messages; no real rooms), its page
# written by roombox-batch --resume over an empty dataset, then opened in
# headless Chromium BENCH_RUNS times (default 5), each time in a fresh
# browser after a blank page. Prints a markdown row of medians: the time from
# the navigation until the page is interactive (its load event ended:
# summary, plots and table built), the main thread's busy time in it (which
# other processes on the machine hardly change), and a sort by seconds;
# fails when the page takes more than 2 s to become interactive. Environment: BENCH_BUILD_DIR (default build-bench),
# BENCH_ROOMS (default 10000), ROOMBOX_BATCH (a roombox-batch binary to use
# instead of building one).
set -euo pipefail
cd "$(dirname "$0")/.."

runs="${BENCH_RUNS:-5}"
rooms="${BENCH_ROOMS:-10000}"
build="${BENCH_BUILD_DIR:-build-bench}"

if [ -z "${ROOMBOX_BATCH:-}" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DROOMBOX_TESTS=OFF > /dev/null
  cmake --build "$build" -j"$(nproc)" --target roombox_batch_cli > /dev/null
fi
batch="$(realpath "${ROOMBOX_BATCH:-$build/src/driver/roombox-batch}")"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/dataset"
python3 - "$rooms" > "$work/report.jsonl" <<'PY'
import json, random, sys
random.seed(7)
failures = ["the plane count is not a whole number", "Cannot read the panorama",
            "the panorama is 0 x 0"]
for k in range(int(sys.argv[1])):
    room = "rooms/%05d" % k
    line = {"room": room, "seconds": round(random.uniform(0.1, 2.0), 3), "inputs": []}
    if k % 20 == 7:
        line.update(status="failed", planes=None, cuboids=None, faces=None, outputs=[],
                    message="The file %s/planes.txt is malformed: %s" % (room, random.choice(failures)))
    else:
        volume = random.uniform(20, 300)
        line.update(status="done", message="", planes=random.randint(20, 80),
                    cuboids=random.randint(5, 60), faces=random.randint(80, 400),
                    outputs=["room-texture.png", "room_cuboid.txt", "room.JSON", "room-rect.obj",
                             "room-rect.obj.mtl", "room-preview.png", "room.glb", "room-log.txt"],
                    volume=round(volume, 3),
                    rt60=[round(0.3 + volume / 600 * f, 3) for f in (1.2, 1.1, 1.0, 0.95, 0.9, 0.8, 0.7)])
    print(json.dumps(line, separators=(",", ":")))
PY
"$batch" --resume --report "$work/report.jsonl" "$work/dataset" --html > /dev/null

node tools/report_page_browser/time_page.js "$work/report.html" "$runs" > "$work/times.jsonl"
python3 - "$work/times.jsonl" "$rooms" "$(du -k "$work/report.html" | cut -f1)" <<'PY'
import json, statistics, sys
times = [json.loads(line) for line in open(sys.argv[1])]
interactive = statistics.median(t["interactive"] for t in times)
busy = statistics.median(t["busy"] for t in times)
sort = statistics.median(t["sort"] for t in times)
print("| Report page | rooms | page size | interactive (median) | main thread busy | sort by seconds | goal |")
print("|---|---|---|---|---|---|---|")
print("| roombox-batch --html | %s | %s kB | %.2f s | %.2f s | %.3f s | interactive <= 2 s |"
      % (sys.argv[2], sys.argv[3], interactive, busy, sort))
if interactive > 2.0:
    print("The page takes %.2f s to become interactive, more than 2 s" % interactive, file=sys.stderr)
    sys.exit(1)
PY
