#!/usr/bin/env bash
# Benchmark of roombox on large inputs, with the floor a run cannot beat.
#
# Builds an optimised roombox and the helpers in bench/, generates its inputs
# into bench-data/ (an 8192 x 4096 panorama of the example room, flat colours
# as rendered and again photo-like, with per-pixel noise of 3 levels, 40-60 MB
# as OpenCV compresses it by default; and plane
# lists of 1,000, 10,000 and 100,000 planes: furnished rooms tiled inside one
# room boundary), runs each input several times and prints, as markdown
# tables, the median of: the whole run (wall time), each stage (roombox's own
# breakdown, printed to standard error when ROOMBOX_TIMING=1) and the peak
# resident memory. In the same session it times the floor: decoding the
# panorama alone with cv::imread (bench/decode_panorama.cc) and copying the
# panorama file; every run is also shown as a ratio to the decode floor. The
# 8192 x 4096 panorama also runs with --preview, and the script reports what
# the preview adds to the run, against the decode floor; and with --glb,
# reported against its goal (run and peak memory at most 2.5 times the
# decode floor's). It
# also times the panorama decode as a run does it (bench/read_panorama.cc:
# roombox's PNG fast path, cv::imread for other files) against cv::imread,
# and the physical floor of a PNG decode: inflating the pixel stream alone
# (bench/inflate_panorama.cc, the faster of ISA-L and libdeflate, its output
# memory taken beforehand).
# Every timed run must print exactly what an untimed run prints and end with
# status 1, or the benchmark stops.
#
# Environment: BENCH_RUNS (runs per input, default 5), BENCH_RUNS_LARGEST
# (runs for the 100,000-plane list, default 3), BENCH_BUILD_DIR (default
# build-bench), ROOMBOX (another roombox binary to measure, e.g. an older
# build; a binary without the stage breakdown shows "-" for the stages).
set -euo pipefail
cd "$(dirname "$0")/.."

runs="${BENCH_RUNS:-5}"
largestRuns="${BENCH_RUNS_LARGEST:-3}"
build="${BENCH_BUILD_DIR:-build-bench}"

scripts/setup.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DROOMBOX_TESTS=OFF > /dev/null
cmake --build "$build" -j"$(nproc)" \
  --target roombox_cli make_example_room decode_panorama read_panorama inflate_panorama \
  measure_run acoustics_benchmark impulse_response_bench > /dev/null
roombox="$(realpath "${ROOMBOX:-$build/src/driver/roombox}")"
generator="$build/tools/make_example_room"
decoder="$(realpath "$build/bench/decode_panorama")"
fastDecoder="$(realpath "$build/bench/read_panorama")"
inflater="$(realpath "$build/bench/inflate_panorama")"
measure="$(realpath "$build/bench/measure_run")"

# roombox loads OpenCV's image codec library (and the some 140 libraries it
# brings) only when a run needs it; linked at start it would cost every run
# about 0.15 s. A build that links it again is a regression of every row
# (another binary given in ROOMBOX, e.g. an older build, is measured as it is).
if [ -z "${ROOMBOX:-}" ] && readelf -d "$roombox" | grep -q 'NEEDED.*libopencv_imgcodecs'; then
  echo "$roombox links libopencv_imgcodecs at start; it should load it when needed" >&2
  exit 1
fi

# Inputs, made again whenever the generator changes.
data=bench-data
mkdir -p "$data"
stamp="$(sha256sum "$generator" | cut -d' ' -f1)"
if [ "$(cat "$data/generator.sha256" 2>/dev/null)" != "$stamp" ]; then
  echo "Generating inputs in $data/ ..." >&2
  rm -rf "$data"/pano8k "$data"/pano8k-noise "$data"/planes-*
  mkdir -p "$data/pano8k" "$data/pano8k-noise"
  "$generator" "$data/pano8k" --width 8192 --height 4096 > /dev/null
  "$generator" "$data/pano8k-noise" --width 8192 --height 4096 --noise 3 > /dev/null
  for planes in 1000 10000 100000; do
    mkdir -p "$data/planes-$planes"
    "$generator" "$data/planes-$planes" > /dev/null  # the 2048 x 1024 panorama
    "$generator" "$data/planes-$planes" --planes "$planes" --no-panorama > /dev/null
  done
  echo "$stamp" > "$data/generator.sha256"
fi

# The example room at its own 2048 x 1024 panorama, and the same room with
# 2,000 copies of one box 0.1 from the capture point (duplicate boxes are
# common), for the cost of the bake and the preview against the box count.
if [ ! -f "$data/boxes-2000/planes.txt" ] || [ "$data/boxes-2000/planes.txt" -ot examples/planes.txt ]; then
  rm -rf "$data/example" "$data/boxes-2000"
  mkdir -p "$data/example" "$data/boxes-2000"
  cp examples/planes.txt examples/shifted_t.png "$data/example/"
  cp examples/shifted_t.png "$data/boxes-2000/"
  awk 'NR == 1 { print $1 + 2000, $2; next } NF { print }
       END { for (k = 0; k < 2000; k++) print "1 1 0.1 -0.1 0.1 -0.1 0.1 0.1 0 0 1 0 0 -0.1 1 2" }' \
    examples/planes.txt > "$data/boxes-2000/planes.txt"
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Stage names in run order, as roombox prints them.
stages=("texture merge" "plane info" "plane connection" "plane range refinement"
        "room boundary" "cuboid growth" "cuboid post-processing"
        "mesh generation" "scene description" "acoustics" "cuboid text and scene files"
        "cuboid text and mesh file" "acoustics file" "preview" "atlas baking" "glb file")

median() {  # the median of the numbers on standard input, one per line
  sort -g | awk '{ v[NR] = $1 } END {
    if (NR == 0) { print "-"; exit }
    if (NR % 2) print v[(NR + 1) / 2]; else printf "%.6f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# measureInto <record file> <command...>: runs the command once, appends
# "<wall seconds> <peak KiB> <status>" to the record file.
measureInto() {
  local record="$1"
  shift
  "$measure" "$work/stdout" "$work/stderr" "$@" >> "$record"
}

# Runs one input with one save option (and the named options after it, if
# any) `count` times, interleaved with the two floors, and leaves the records
# under $work/<key>.
benchInput() {
  local key="$1" dir="$2" option="$3" count="$4"
  local extra=("${@:5}")
  local panorama="$dir/shifted_t.png"
  rm -f "$work/$key".*
  # The console of an untimed run, for comparison.
  (cd "$dir" && "$roombox" ./ planes.txt bench "$option" "${extra[@]}" > "$work/$key.console" || true)
  for ((r = 0; r < count; r++)); do
    measureInto "$work/$key.decode" "$decoder" "$panorama"
    measureInto "$work/$key.fast" "$fastDecoder" "$panorama"
    measureInto "$work/$key.copy" cp "$panorama" "$work/copy.png"
    "$inflater" "$panorama" 2>/dev/null | awk '{ print $(NF - 1) }' >> "$work/$key.inflate"
    (cd "$dir" && export ROOMBOX_TIMING=1 &&
      measureInto "$work/$key.run" "$roombox" ./ planes.txt bench "$option" "${extra[@]}")
    if [ "$(tail -n 1 "$work/$key.run" | cut -d' ' -f3)" != 1 ]; then
      echo "roombox did not complete on $dir (option $option)" >&2
      exit 1
    fi
    if ! cmp -s "$work/stdout" "$work/$key.console"; then
      echo "ROOMBOX_TIMING changed the console output on $dir (option $option)" >&2
      exit 1
    fi
    local total=0 line
    for stage in "${stages[@]}"; do
      line="$(grep "^timing: $stage [0-9]" "$work/stderr" | awk '{ print $NF }' || true)"
      echo "${line:--}" >> "$work/$key.stage.$stage"
    done
  done
}

# Median of column n (1 wall, 2 KiB, 3 status) of a record file.
column() { awk -v n="$2" '{ print $n }' "$1" | median; }

# Median over runs of the sum of the stages after texture merge (the
# acoustics, the preview and the baked model's stages count as 0 in a run
# without them).
afterMerge() {
  local key="$1"
  paste -d' ' "$work/$key.stage.plane info" "$work/$key.stage.plane connection" \
    "$work/$key.stage.plane range refinement" "$work/$key.stage.room boundary" \
    "$work/$key.stage.cuboid growth" "$work/$key.stage.cuboid post-processing" \
    "$work/$key.stage.mesh generation" "$work/$key.stage.scene description" \
    "$work/$key.stage.cuboid text and scene files" "$work/$key.stage.cuboid text and mesh file" \
    <(sed 's/^-$/0/' "$work/$key.stage.preview") <(sed 's/^-$/0/' "$work/$key.stage.atlas baking") \
    <(sed 's/^-$/0/' "$work/$key.stage.glb file") <(sed 's/^-$/0/' "$work/$key.stage.acoustics") \
    <(sed 's/^-$/0/' "$work/$key.stage.acoustics file") |
    awk '/-/ { print "-"; next } { s = 0; for (i = 1; i <= NF; i++) s += $i; printf "%.6f\n", s }' |
    { grep -v -- - || true; } | median
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "-" || b == "-" || b == 0) print "-"; else printf "%.3f", a / b }'; }
mib() { awk -v k="$1" -v base="${2:-0}" 'BEGIN { printf "%.1f", (k - base) / 1024 }'; }
fixed() { awk -v v="$1" 'BEGIN { if (v == "-") print "-"; else printf "%.3f", v }'; }
millis() { awk -v v="$1" 'BEGIN { if (v == "-") print "-"; else printf "%.1f", v * 1000 }'; }

inputs=()
addInput() {  # key, folder, option, runs, label, named options...
  benchInput "$1" "$2" "$3" "$4" "${@:6}"
  inputs+=("$1|$5|$3|$4")
  echo "measured $5, save option $3" >&2
}
for option in 0 1 2 3; do
  addInput "pano-$option" "$data/pano8k" "$option" "$runs" "example room, 8192x4096 panorama"
done
for option in 0 1 2 3; do
  addInput "noise-$option" "$data/pano8k-noise" "$option" "$runs" \
    "example room, 8192x4096 photo-like panorama"
done
addInput pano-2-preview "$data/pano8k" 2 "$runs" "example room, 8192x4096 panorama, --preview" \
  --preview
addInput pano-2-glb "$data/pano8k" 2 "$runs" "example room, 8192x4096 panorama, --glb" --glb
addInput example-all "$data/example" 2 "$runs" "example room, --glb --preview" --glb --preview
addInput example-plain "$data/example" 2 "$runs" "example room"
addInput example-acoustics "$data/example" 2 "$runs" "example room, --acoustics" --acoustics
addInput boxes-2000-all "$data/boxes-2000" 2 "$runs" \
  "example room + 2,000 copies of a box 0.1 away, --glb --preview" --glb --preview
addInput planes-1000 "$data/planes-1000" 2 "$runs" "1,000 planes"
addInput planes-10000 "$data/planes-10000" 2 "$runs" "10,000 planes"
addInput planes-100000 "$data/planes-100000" 2 "$largestRuns" "100,000 planes"
addInput planes-100000-all "$data/planes-100000" 2 "$largestRuns" \
  "100,000 planes, --glb --preview" --glb --preview

echo "## roombox benchmark, $(date -u +%F), $(nproc) cores, median of the runs"
echo
echo "Decode floor: cv::imread of the input's panorama alone, in the same session. Plane lists use"
echo "the 2048x1024 example panorama. Peak memory is the peak resident set (shared libraries"
echo "included) of the whole process; 'above floor' is what a run holds beyond the decode-only"
echo "process. Fast decode: the panorama decoded alone as a run decodes it (roombox's PNG fast"
echo "path), with its time and peak memory as ratios to the decode floor's."
echo
echo "| input | save option | runs | whole run (s) | decode floor (s) | run / decode | file copy (s) | stages after texture merge (s) | peak memory (MiB) | floor peak (MiB) | peak / floor | above floor (MiB) | fast decode (s) | fast / decode | fast peak (MiB) | fast peak / floor |"
echo "|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|"
for entry in "${inputs[@]}"; do
  IFS='|' read -r key label option count <<< "$entry"
  wall="$(column "$work/$key.run" 1)"
  decode="$(column "$work/$key.decode" 1)"
  copy="$(column "$work/$key.copy" 1)"
  peak="$(column "$work/$key.run" 2)"
  floorPeak="$(column "$work/$key.decode" 2)"
  fast="$(column "$work/$key.fast" 1)"
  fastPeak="$(column "$work/$key.fast" 2)"
  echo "| $label | $option | $count | $(fixed "$wall") | $(fixed "$decode") | $(ratio "$wall" "$decode") |" \
    "$(fixed "$copy") | $(fixed "$(afterMerge "$key")") | $(mib "$peak") | $(mib "$floorPeak") |" \
    "$(ratio "$peak" "$floorPeak") | $(mib "$peak" "$floorPeak") |" \
    "$(fixed "$fast") | $(ratio "$fast" "$decode") | $(mib "$fastPeak") | $(ratio "$fastPeak" "$floorPeak") |"
done
echo
echo "Stages (ms), median of the runs:"
echo
header="| stage |"
rule="|---|"
for entry in "${inputs[@]}"; do
  IFS='|' read -r key label option count <<< "$entry"
  short="${label/example room, 8192x4096 panorama/8192x4096}"
  header+=" $short, option $option |"
  rule+="---|"
done
echo "$header"
echo "$rule"
for stage in "${stages[@]}"; do
  row="| $stage |"
  for entry in "${inputs[@]}"; do
    IFS='|' read -r key label option count <<< "$entry"
    row+=" $(millis "$(grep -v -- - "$work/$key.stage.$stage" | median || true)") |"
  done
  echo "$row"
done

# The physical floor of the PNG decode, inflating the pixel stream alone,
# against the decode floor and against what the whole run and the fast decode
# reach.
echo
echo "Inflate alone (the physical floor of a PNG decode) against cv::imread, the fast decode and the whole run:"
echo
echo "| input | save option | inflate alone (s) | inflate / decode | fast / decode | run / decode |"
echo "|---|---|---|---|---|---|"
for key in pano-2 noise-0 noise-1 noise-2 noise-3; do
  for entry in "${inputs[@]}"; do
    IFS='|' read -r k label option count <<< "$entry"
    [ "$k" = "$key" ] || continue
    decode="$(column "$work/$key.decode" 1)"
    inflate="$(median < "$work/$key.inflate")"
    echo "| $label | $option | $(fixed "$inflate") | $(ratio "$inflate" "$decode") |" \
      "$(ratio "$(column "$work/$key.fast" 1)" "$decode") | $(ratio "$(column "$work/$key.run" 1)" "$decode") |"
  done
done

# What --preview adds: the whole run with it less the same run without it,
# and the preview stage alone, both against the decode floor of the runs
# with it.
previewRun="$(column "$work/pano-2-preview.run" 1)"
plainRun="$(column "$work/pano-2.run" 1)"
previewFloor="$(column "$work/pano-2-preview.decode" 1)"
previewStage="$(grep -v -- - "$work/pano-2-preview.stage.preview" | median || true)"
added="$(awk -v a="$previewRun" -v b="$plainRun" 'BEGIN { printf "%.6f", a - b }')"
echo
echo "--preview on the 8192x4096 panorama (save option 2): the run takes $(fixed "$added") s longer" \
  "($(ratio "$added" "$previewFloor") of the decode floor); the preview stage itself takes" \
  "$(fixed "$previewStage") s ($(ratio "$previewStage" "$previewFloor") of the decode floor)."

# --glb on the 8192x4096 panorama against its goal: the whole run and its peak
# memory at most 2.5 times the decode floor's, measured in the same session.
glbRun="$(column "$work/pano-2-glb.run" 1)"
glbPeak="$(column "$work/pano-2-glb.run" 2)"
echo
echo "--glb on the 8192x4096 panorama (save option 2): run / decode" \
  "$(ratio "$glbRun" "$(column "$work/pano-2-glb.decode" 1)"), peak / floor peak" \
  "$(ratio "$glbPeak" "$(column "$work/pano-2-glb.decode" 2)") (goal: at most 2.5 each);" \
  "atlas baking $(fixed "$(grep -v -- - "$work/pano-2-glb.stage.atlas baking" | median || true)") s," \
  "glb file $(fixed "$(grep -v -- - "$work/pano-2-glb.stage.glb file" | median || true)") s."

# The bake and the preview against the box count: the 2,000-box room's
# stages as ratios to the example room's (goal: at most 3 each).
stageMedian() { grep -v -- - "$work/$1.stage.$2" | median || true; }
echo
echo "Example room + 2,000 copies of a box 0.1 away, against the example room (goal: at most 3" \
  "each): atlas baking $(fixed "$(stageMedian boxes-2000-all "atlas baking")") s against" \
  "$(fixed "$(stageMedian example-all "atlas baking")") s" \
  "($(ratio "$(stageMedian boxes-2000-all "atlas baking")" "$(stageMedian example-all "atlas baking")")" \
  "times), preview $(fixed "$(stageMedian boxes-2000-all preview)") s against" \
  "$(fixed "$(stageMedian example-all preview)") s" \
  "($(ratio "$(stageMedian boxes-2000-all preview)" "$(stageMedian example-all preview)") times)."

# The acoustic model: what --acoustics adds to the example room's run (goal:
# at most 5 %), its own stage, and the union volume of 10,000 boxes (goal: at
# most 1 s).
plainRun="$(column "$work/example-plain.run" 1)"
acousticsRun="$(column "$work/example-acoustics.run" 1)"
echo
echo "--acoustics on the example room: run $(fixed "$acousticsRun") s against" \
  "$(fixed "$plainRun") s ($(ratio "$acousticsRun" "$plainRun") times; goal: at most 1.05)," \
  "stage acoustics $(fixed "$(stageMedian example-acoustics acoustics)") s."
echo
echo "| acoustic model | median |"
echo "|---|---|"
"$build/bench/acoustics_benchmark" examples 10000

# The impulse response (goal: the example room's mono response in at most
# 0.2 s on two cores, T30 within 3 % from seed to seed): the example room per
# format and core count, its cost against the ray count, against the number
# of boxes, and T30 over ten seeds.
echo
"$build/bench/impulse_response_bench" examples "$runs"
# Two processes side by side, each the mono response on one core: what two
# cores give for the same work in this run (set against the 2-core row).
"$build/bench/impulse_response_bench" examples "$runs" --mono-one-core > "$work/rir-a.txt" &
"$build/bench/impulse_response_bench" examples "$runs" --mono-one-core > "$work/rir-b.txt"
wait
echo
echo "Mono response on one core, two processes side by side: $(cat "$work/rir-a.txt") s and" \
  "$(cat "$work/rir-b.txt") s."
