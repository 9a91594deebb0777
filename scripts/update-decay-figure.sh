#!/usr/bin/env bash
# Regenerates the figure of the example room's energy decay curves that the
# README shows, docs/example-room-decay.png: builds roombox and the figure
# tool (tools/decay_figure), runs roombox on examples/ with save option 2 and
# --preview --acoustics --rir, and cuts the decay curves' chart out of the
# preview it writes.
#
# Run it after a change to the decay chart's drawing, the impulse response
# or the example room, then look at the image before committing it.
#
# Usage: scripts/update-decay-figure.sh [build folder]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."

build="${1:-build}"
cmake -S . -B "$build" > /dev/null
cmake --build "$build" -j"$(nproc)" --target roombox_cli decay_figure > /dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp examples/planes.txt examples/shifted_t.png "$work/"
set +e
"$build/src/driver/roombox" "$work/" planes.txt room 2 --preview --acoustics --rir \
  > "$work/console.txt"
status=$?
set -e
if [ "$status" -ne 1 ]; then
  echo "roombox exited with status $status:" >&2
  cat "$work/console.txt" >&2
  exit 1
fi

mkdir -p docs
"$build/tools/decay_figure" "$work/room-preview.png" docs/example-room-decay.png
echo "Figure written to docs/example-room-decay.png ($(wc -c < docs/example-room-decay.png) bytes)"
