#!/usr/bin/env bash
# Builds and runs the whole test suite twice: an optimised build (with the
# Python module, whose package is then installed into a venv and tested with
# pytest), and a build under AddressSanitizer and UndefinedBehaviorSanitizer;
# then runs the fuzz targets for a short time.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh test
jobs="$(nproc)"
# The Debian interpreter, for which setup.sh installs numpy, pybind11, pytest
# and dask.distributed (not whatever python3 comes first on the PATH).
python="${ROOMBOX_TEST_PYTHON:-/usr/bin/python3}"

# The optimised build holds the Python module too (its PythonTests run the
# Python tests on the module as built).
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DROOMBOX_PYTHON=ON \
  -DPython_EXECUTABLE="$python"
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

# The Python package as a user installs it: pip install into a fresh venv
# (with Debian's packages visible, offline: no build isolation), then the
# Python tests on the installed package. pip builds in the optimised build
# folder above, so the install compiles nothing again.
venv=build/python-venv
rm -rf "$venv"
"$python" -m venv --system-site-packages "$venv"
ROOMBOX_BUILD_DIR="$PWD/build" CMAKE_BUILD_PARALLEL_LEVEL="$jobs" \
  "$venv/bin/python" -m pip install --no-build-isolation --no-index -q .
(cd "$venv" && ROOMBOX_BINARY="$OLDPWD/build/src/driver/roombox" \
  ROOMBOX_MAKE_EXAMPLE_ROOM="$OLDPWD/build/tools/make_example_room" \
  bin/python -m pytest -p no:cacheprovider -o addopts="" "$OLDPWD/python/tests")

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DROOMBOX_SANITIZE=ON
cmake --build build-sanitize -j"$jobs"
(cd build-sanitize && UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j"$jobs")

# Fuzzing: each libFuzzer target runs for a bounded time under AddressSanitizer
# and UndefinedBehaviorSanitizer, starting from the seed corpus. A crash, a
# sanitizer report or an input slower than 10 seconds fails the command; the
# input that caused it is kept in build-fuzz/artifacts/.
fuzz_seconds="${ROOMBOX_FUZZ_SECONDS:-25}"
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DROOMBOX_FUZZ=ON -DROOMBOX_TESTS=OFF
cmake --build build-fuzz -j"$jobs" --target plane_info_fuzzer pipeline_fuzzer panorama_fuzzer
mkdir -p build-fuzz/artifacts
for target in plane_info pipeline panorama; do
  found="build-fuzz/found-$target"
  rm -rf "$found"
  mkdir -p "$found"
  echo "Fuzzing $target for ${fuzz_seconds} s"
  if ! "build-fuzz/fuzz/${target}_fuzzer" -max_total_time="$fuzz_seconds" -timeout=10 \
      -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="build-fuzz/artifacts/$target-" \
      "$found" "fuzz/corpus/$target" > "build-fuzz/$target.log" 2>&1; then
    tail -n 80 "build-fuzz/$target.log"
    echo "The $target fuzzer failed; its input is in build-fuzz/artifacts/."
    exit 1
  fi
  grep -E '^(Done |stat::number_of_executed_units|stat::peak_rss_mb)' "build-fuzz/$target.log"
done
echo "fuzzing: 3 passed, 0 failed"
