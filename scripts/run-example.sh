#!/usr/bin/env bash
# Builds roombox and runs it on the bundled example room. The outputs are
# written to example-output/ (the inputs are copied there first, so that the
# repository's examples/ folder stays untouched).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh build
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DROOMBOX_TESTS=OFF > /dev/null
cmake --build build -j"$(nproc)" --target roombox_cli > /dev/null

option="${1:-2}"
rm -rf example-output
mkdir -p example-output
cp examples/planes.txt examples/shifted_t.png example-output/
set +e
build/src/driver/roombox example-output/ planes.txt room "$option"
status=$?
set -e
echo
echo "roombox exited with status $status (1 means a complete run)."
echo "Outputs in $(pwd)/example-output/:"
ls -l example-output | tail -n +2
