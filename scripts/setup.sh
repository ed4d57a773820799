#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then configures and builds
# into build/ (or the directory given). Extra arguments go to CMake.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ pkg-config libpugixml-dev libboost-dev libudunits2-dev libxml2-dev
          nlohmann-json3-dev libcli11-dev libgtest-dev libgmock-dev libbenchmark-dev clang-format
          libmozjs-102-dev libfast-float-dev libexpat1-dev librsvg2-bin fonts-dejavu-core libpng-dev clang-14 libclang-rt-14-dev ccache
          pybind11-dev python3-dev python3-numpy python3-pytest
          nodejs)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi

build=${1:-build}
shift || true
# ccache keeps rebuilds of a fresh clone short; paths are taken relative to the top, so clones in
# other folders share the cache.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTREL_WERROR=ON \
  -DCMAKE_CXX_COMPILER_LAUNCHER=ccache "$@" >/dev/null
cmake --build "$build" -j "$(nproc)"
