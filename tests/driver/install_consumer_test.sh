#!/usr/bin/env bash
# Installs roombox from the build folder into a temporary prefix, then builds
# and runs the consumer example against the installed package, as a user of
# the library would; then moves the installed package to another prefix and
# does it again, there also on a panorama that roombox decodes through its
# codec library; then removes that library from the install: a run that
# needs no codec still succeeds, one that does fails cleanly. Arguments: the
# build folder, the source folder, and compiler flags for the consumer
# (those of the build, e.g. its sanitizers).
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
# The package leaves OpenCV's own target names (opencv_core ...) to OpenCV's
# package, which a consumer may find after roombox, and needs no tinyglTF.
mkdir -p "$work/names"
cat > "$work/names/CMakeLists.txt" <<'EOF'
cmake_minimum_required(VERSION 3.18)
project(names LANGUAGES CXX)
find_package(roombox REQUIRED)
foreach(name opencv_core opencv_imgcodecs opencv_imgproc)
  if(TARGET ${name})
    message(FATAL_ERROR "the roombox package defines ${name}")
  endif()
endforeach()
if(TARGET TinyGLTF::TinyGLTF)
  message(FATAL_ERROR "the roombox package finds tinyglTF")
endif()
EOF
cmake -S "$work/names" -B "$work/names-build" -DCMAKE_PREFIX_PATH="$work/prefix" \
  > "$work/names.log"
# roombox/version.h holds the project's version, which the command prints.
version="$(sed -n 's/.*kVersion = "\(.*\)";/\1/p' "$work/prefix/include/roombox/version.h")"
test "$("$work/prefix/bin/roombox" --version)" = "roombox $version"
# The installed commands run too.
"$work/prefix/bin/roombox" --version
"$work/prefix/bin/roombox-batch" --version
# The package moved to another prefix after installing: a consumer built
# against it there finds everything, its codec library too. The panorama
# with a text chunk is one roombox's own PNG reader leaves to OpenCV's
# codecs.
mv "$work/prefix" "$work/moved"
room="$work/room/"
mkdir -p "$room"
cp "$source/examples/planes.txt" "$room"
python3 - "$source/examples/shifted_t.png" "$room/shifted_t.png" <<'EOF'
import struct, sys, zlib
png = open(sys.argv[1], "rb").read()
text = b"Comment\0written by the install test"
chunk = struct.pack(">I", len(text)) + b"tEXt" + text + struct.pack(">I", zlib.crc32(b"tEXt" + text))
open(sys.argv[2], "wb").write(png[:33] + chunk + png[33:])
EOF
cmake -S "$source/examples/consumer" -B "$work/consumer-moved" -DCMAKE_PREFIX_PATH="$work/moved" \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" > "$work/configure-moved.log"
cmake --build "$work/consumer-moved" > "$work/build-moved.log"
for folder in "$source/examples/" "$room"; do
  output="$("$work/consumer-moved/room_summary" "$folder")"
  if [ "$output" != "$expected" ]; then
    echo "consumer of the moved package printed, for $folder:"
    echo "$output"
    exit 1
  fi
done
# The installed command, moved, finds its codec library for the preview.
run="$work/run/"
mkdir -p "$run"
cp "$source/examples/planes.txt" "$source/examples/shifted_t.png" "$run"
set +e
"$work/moved/bin/roombox" "$run" planes.txt room 2 --preview > "$work/preview.log" 2>&1
status=$?
set -e
if [ "$status" != 1 ] || [ ! -s "$run/room-preview.png" ]; then
  echo "the moved roombox with --preview ended with status $status:"
  cat "$work/preview.log"
  exit 1
fi

# Without the codec library, a run on a plain PNG panorama, which needs no
# codec, still succeeds; one that needs a codec fails with a clear message
# and status 2.
rm "$work/moved/lib/libroombox_codecs.so"
set +e
"$work/moved/bin/roombox" "$run" planes.txt plain 2 > "$work/plain.log" 2>&1
plain=$?
"$work/moved/bin/roombox" "$run" planes.txt missing 2 --preview > "$work/missing.log" 2>&1
missing=$?
set -e
if [ "$plain" != 1 ]; then
  echo "without the codec library, a plain run ended with status $plain:"
  cat "$work/plain.log"
  exit 1
fi
message="Cannot load roombox's image codec library (libroombox_codecs.so): "
if [ "$missing" != 2 ] || ! grep -qF "$message" "$work/missing.log"; then
  echo "without the codec library, a run with --preview ended with status $missing:"
  cat "$work/missing.log"
  exit 1
fi
echo "the consumer example builds and runs against the installed package, moved too"
