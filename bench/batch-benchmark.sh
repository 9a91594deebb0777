#!/usr/bin/env bash
# Benchmark of roombox-batch: 16 rooms with 4096 x 2048 panoramas, run with
# --jobs 1 and --jobs 2, against xargs -P 2 starting one roombox process per
# room, and --jobs 1 held to one core with taskset (each room then decodes on
# one thread), which shows what the second core brings. Prints a markdown
# table of the median wall time of each, and the ratios the README quotes;
# then the same panorama decoded on two threads at once against one after
# another (bench/parallel_decode.cc), the best two rooms side by side can do
# on this machine.
#
# Environment: BENCH_RUNS (runs per row, default 3), BENCH_BUILD_DIR (default
# build-bench), BENCH_ROOMS (default 16).
set -euo pipefail
cd "$(dirname "$0")/.."

runs="${BENCH_RUNS:-3}"
build="${BENCH_BUILD_DIR:-build-bench}"
rooms="${BENCH_ROOMS:-16}"

scripts/setup.sh
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DROOMBOX_TESTS=OFF > /dev/null
fi
cmake --build "$build" -j"$(nproc)" --target roombox_cli roombox_batch_cli make_example_room \
  parallel_decode \
  > /dev/null
roombox="$(realpath "$build/src/driver/roombox")"
batch="$(realpath "$build/src/driver/roombox-batch")"
generator="$build/tools/make_example_room"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/source"
"$generator" "$work/source" --width 4096 --height 2048 > /dev/null

# A fresh dataset for every run, so that each one writes every output anew.
makeDataset() {
  rm -rf "$work/data"
  mkdir -p "$work/data"
  for ((k = 0; k < rooms; ++k)); do
    mkdir "$work/data/room$k"
    cp "$work/source/planes.txt" "$work/source/shifted_t.png" "$work/data/room$k/"
  done
}

median() {
  sort -g | awk '{ v[NR] = $1 } END {
    if (NR % 2) print v[(NR + 1) / 2]; else printf "%.3f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# timeRow <command...>: the median wall seconds of the command over $runs runs.
timeRow() {
  local times=()
  for ((r = 0; r < runs; ++r)); do
    makeDataset
    local start end
    start=$(date +%s.%N)
    "$@" > /dev/null 2>&1 || { echo "benchmark run failed: $*" >&2; exit 1; }
    end=$(date +%s.%N)
    times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')")
  done
  printf '%s\n' "${times[@]}" | median
}

xargsRun() {
  # roombox ends a complete run with status 1.
  ls -d "$work"/data/*/ |
    xargs -P 2 -I{} sh -c "'$roombox' {} planes.txt room 2 > {}room-log.txt; [ \$? -eq 1 ]"
}

oneCore=$(timeRow taskset -c 0 "$batch" --jobs 1 "$work/data")
one=$(timeRow "$batch" --jobs 1 "$work/data")
two=$(timeRow "$batch" --jobs 2 "$work/data")
parallel=$(timeRow xargsRun)

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
echo "| $rooms rooms, 4096 x 2048 panoramas | seconds | vs --jobs 1 | vs one core |"
echo "|---|---|---|---|"
printf '| roombox-batch --jobs 1 on one core (taskset -c 0) | %.2f | %s | 1.00 |\n' "$oneCore" \
  "$(ratio "$oneCore" "$one")"
printf '| roombox-batch --jobs 1 | %.2f | 1.00 | %s |\n' "$one" "$(ratio "$one" "$oneCore")"
printf '| roombox-batch --jobs 2 | %.2f | %s | %s |\n' "$two" "$(ratio "$two" "$one")" \
  "$(ratio "$two" "$oneCore")"
printf '| xargs -P 2 roombox | %.2f | %s | %s |\n' "$parallel" "$(ratio "$parallel" "$one")" \
  "$(ratio "$parallel" "$oneCore")"
# What two rooms side by side can reach here at best: the panorama decoded
# on two threads at once against one after another, nothing written.
echo
"$build/bench/parallel_decode" "$work/source/shifted_t.png" "$rooms"
