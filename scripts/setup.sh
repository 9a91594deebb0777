#!/usr/bin/env bash
# Installs, with apt-get, what this machine does not have yet of what roombox
# needs:
#   scripts/setup.sh build   building roombox and running it (the example
#                            run, the benchmarks): g++, CMake and the
#                            libraries roombox links
#   scripts/setup.sh test    (the default) all of that, and what the test
#                            suite needs besides: GoogleTest, clang for the
#                            fuzz targets, the Python module's build and test
#                            packages, Node.js with the glTF Validator
# Safe to run again: it installs nothing when everything is present.
set -euo pipefail

what="${1:-test}"
build_packages=(
  g++ make cmake
  libopencv-core-dev libopencv-imgcodecs-dev libopencv-imgproc-dev
  libdeflate-dev libisal-dev
  nlohmann-json3-dev libcli11-dev libtinygltf-dev
  # three.js, which roombox-batch --html copies beside its page for the 3D view
  libjs-three
)
test_packages=(
  pkg-config
  libgtest-dev
  clang libclang-rt-14-dev
  assimp-utils
  sox python3-scipy
  python3 python3-dev python3-venv python3-pip python3-setuptools python3-numpy
  pybind11-dev python3-pybind11 python3-pytest python3-distributed
  locales-all
  nodejs npm
  # only for the tests: the report page is checked in headless Chromium
  chromium
)
case "$what" in
  build) packages=("${build_packages[@]}") ;;
  test) packages=("${build_packages[@]}" "${test_packages[@]}") ;;
  *)
    echo "Usage: $0 [build|test]" >&2
    exit 2
    ;;
esac

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    # Node.js and npm may come from elsewhere than Debian: any on the PATH do.
    if [ "$package" = nodejs ] && command -v node > /dev/null; then continue; fi
    if [ "$package" = npm ] && command -v npm > /dev/null; then continue; fi
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The Khronos glTF Validator, which the tests run on every GLB they write,
# from npm at the version pinned in tools/gltf_validator/package-lock.json.
if [ "$what" = test ]; then
  validator="$(dirname "$0")/../tools/gltf_validator"
  if [ ! -f "$validator/node_modules/gltf-validator/package.json" ]; then
    (cd "$validator" && npm ci --no-audit --no-fund --loglevel=error)
  fi
fi
