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
echo "the consumer example builds and runs against the installed package"
