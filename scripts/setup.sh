#!/usr/bin/env bash
# Installs, with apt-get, whatever the build, the tests and the example run
# need and this machine does not have yet. Safe to run again: it installs
# nothing when everything is present.
set -euo pipefail

packages=(
  g++ make cmake pkg-config
  libopencv-core-dev libopencv-imgcodecs-dev libopencv-imgproc-dev
  libdeflate-dev libisal-dev
  libgtest-dev
  clang libclang-rt-14-dev
  assimp-utils nlohmann-json3-dev
  libcli11-dev
  libtinygltf-dev
  python3 python3-dev python3-venv python3-pip python3-setuptools python3-numpy
  pybind11-dev python3-pybind11 python3-pytest python3-distributed
  locales-all
  # three.js, which roombox-batch --html writes beside its page for the 3D view
  libjs-three
  # only for the tests: the report page is checked in headless Chromium
  chromium
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
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

# The Khronos glTF Validator, which the tests run on every GLB they write:
# Node.js and npm from Debian where the machine has none, the validator
# from npm at the version pinned in tools/gltf_validator/package-lock.json.
if ! command -v node > /dev/null || ! command -v npm > /dev/null; then
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends nodejs npm
fi
validator="$(dirname "$0")/../tools/gltf_validator"
if [ ! -f "$validator/node_modules/gltf-validator/package.json" ]; then
  (cd "$validator" && npm ci --no-audit --no-fund --loglevel=error)
fi
