#!/usr/bin/env bash
# Installs roombox from the build folder into a temporary prefix, then builds
# and runs the consumer example against the installed package, as a user of
# the library would. Arguments: the build folder, the source folder, and
# compiler flags for the consumer (those of the build, e.g. its sanitizers).
set -euo pipefail
build="$1"
source="$2"
flags="${3:-}"
work="$(mktemp -d /tmp/roombox-install-XXXXXX)"
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" > "$work/install.log"
test -x "$work/prefix/bin/roombox"
test -f "$work/prefix/include/roombox/roombox.h"
test -f "$work/prefix/lib/cmake/roombox/roomboxConfig.cmake"

cmake -S "$source/examples/consumer" -B "$work/consumer" -DCMAKE_PREFIX_PATH="$work/prefix" \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" > "$work/configure.log"
cmake --build "$work/consumer" > "$work/build.log"
output="$("$work/consumer/room_summary" "$source/examples/")"
expected="room box: -2.5 -2 -1.4 to 3 2.5 1.3
boxes: 44"
if [ "$output" != "$expected" ]; then
  echo "consumer printed:"
  echo "$output"
  echo "expected:"
  echo "$expected"
  exit 1
fi
# The installed commands run too.
"$work/prefix/bin/roombox" --version
"$work/prefix/bin/roombox-batch" --version
echo "the consumer example builds and runs against the installed package"
