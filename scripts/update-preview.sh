#!/usr/bin/env bash
# Regenerates the README's pictures of the example room: the preview,
# docs/example-room-preview.png (save option 2 and --preview), and the
# impulse response's energy decay curves, docs/example-room-decay.png (cut by
# tools/decay_figure out of the preview of a run with --preview --acoustics
# --rir).
#
# Run it after a change to the preview's drawing, the impulse response or the
# example room, then look at the images before committing them.
#
# Usage: scripts/update-preview.sh [build folder]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."

build="${1:-build}"
cmake -S . -B "$build" > /dev/null
cmake --build "$build" -j"$(nproc)" --target roombox_cli decay_figure > /dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Runs roombox on a copy of examples/ in folder $1 with the options that
# follow; stops the script when the run fails.
runExample() {
  local folder="$work/$1/"
  shift
  mkdir -p "$folder"
  cp examples/planes.txt examples/shifted_t.png "$folder"
  set +e
  "$build/src/driver/roombox" "$folder" planes.txt room 2 "$@" > "$folder/console.txt"
  local status=$?
  set -e
  if [ "$status" -ne 1 ]; then
    echo "roombox $* exited with status $status:" >&2
    cat "$folder/console.txt" >&2
    exit 1
  fi
}

mkdir -p docs
runExample preview --preview
cp "$work/preview/room-preview.png" docs/example-room-preview.png
echo "Preview written to docs/example-room-preview.png ($(wc -c < docs/example-room-preview.png) bytes)"

runExample decay --preview --acoustics --rir
"$build/tools/decay_figure" "$work/decay/room-preview.png" docs/example-room-decay.png
echo "Decay curves written to docs/example-room-decay.png ($(wc -c < docs/example-room-decay.png) bytes)"
