#!/usr/bin/env bash
# Regenerates the golden files of the example room, tests/golden/example-room/,
# from the current source: builds roombox, runs it on examples/ with every save
# option (0, 1, 2, 3 and 7, which writes no mesh file) and keeps the console
# output of each run and every output file except the texture image (the
# golden test compares that with examples/shifted_t.png pixel by pixel).
#
# Run it only after a deliberate change of an output format or of the example
# room, then read the diff of tests/golden/ before committing it.
#
# Usage: scripts/update-golden.sh [build folder]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."

build="${1:-build}"
cmake -S . -B "$build" > /dev/null
cmake --build "$build" -j"$(nproc)" --target roombox_cli > /dev/null

golden=tests/golden/example-room
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

rm -rf "$golden"
mkdir -p "$golden"
for option in 0 1 2 3 7; do
  run="$work/option-$option/"
  mkdir -p "$run"
  cp examples/planes.txt examples/shifted_t.png "$run"
  set +e
  "$build/src/driver/roombox" "$run" planes.txt room "$option" > "$golden/console-option-$option.txt"
  status=$?
  set -e
  if [ "$status" -ne 1 ]; then
    echo "roombox exited with status $status for save option $option:" >&2
    cat "$golden/console-option-$option.txt" >&2
    exit 1
  fi
  rm "$run/planes.txt" "$run/shifted_t.png" "$run/room-texture.png"
  # The cuboid text and the JSON file do not depend on the save option.
  for common in room_cuboid.txt room.JSON; do
    if [ -e "$golden/$common" ] && ! cmp -s "$golden/$common" "$run/$common"; then
      echo "$common differs between save options" >&2
      exit 1
    fi
  done
  cp "$run"/* "$golden/"
done

echo "Golden files written to $golden:"
ls -l "$golden" | tail -n +2
