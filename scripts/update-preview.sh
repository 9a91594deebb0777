#!/usr/bin/env bash
# Regenerates the preview image of the example room that the README shows,
# docs/example-room-preview.png: builds roombox, runs it on examples/ with
# save option 2 and --preview, and keeps the preview it writes.
#
# Run it after a change to the preview's drawing or to the example room, then
# look at the image before committing it.
#
# Usage: scripts/update-preview.sh [build folder]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."

build="${1:-build}"
cmake -S . -B "$build" > /dev/null
cmake --build "$build" -j"$(nproc)" --target roombox_cli > /dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp examples/planes.txt examples/shifted_t.png "$work/"
set +e
"$build/src/driver/roombox" "$work/" planes.txt room 2 --preview > "$work/console.txt"
status=$?
set -e
if [ "$status" -ne 1 ]; then
  echo "roombox exited with status $status:" >&2
  cat "$work/console.txt" >&2
  exit 1
fi

mkdir -p docs
cp "$work/room-preview.png" docs/example-room-preview.png
echo "Preview written to docs/example-room-preview.png ($(wc -c < docs/example-room-preview.png) bytes)"
