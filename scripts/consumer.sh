#!/usr/bin/env bash
# Uses Kestrel as a host project would: installs a build into a temporary prefix, builds the host
# example (examples/host) against it through find_package and through pkg-config and runs it, then
# builds the Debian package with CPack and does the same against what the package holds.
# Both times it also imports the Python module the prefix holds, with nothing else on the path.
# Usage: scripts/consumer.sh [BUILD-DIR]   (default build/, configured and built already)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$(cd "${1:-build}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

# Builds and runs the example against the package found under prefix $1, both ways.
consume() {
  local prefix=$1 name=$2
  cmake -S examples/host -B "$work/$name-cmake" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" "${launcher[@]}" >/dev/null
  cmake --build "$work/$name-cmake" >/dev/null
  echo "$name, find_package(kestrel): $("$work/$name-cmake/host" | tail -1)"
  local pc
  pc=$(dirname "$(find "$prefix" -name kestrel.pc | head -1)")
  local libdir
  libdir=$(PKG_CONFIG_PATH=$pc pkg-config --variable=libdir kestrel)
  # shellcheck disable=SC2046
  c++ examples/host/main.cpp -o "$work/$name-pc" $(PKG_CONFIG_PATH=$pc pkg-config --cflags --libs kestrel) \
    -Wl,-rpath,"$libdir"
  echo "$name, pkg-config kestrel $(PKG_CONFIG_PATH=$pc pkg-config --modversion kestrel): $("$work/$name-pc" | tail -1)"
  if [ -d "$prefix/lib/python3/dist-packages/kestrel" ]; then
    echo "$name, python3: $(cd "$work" && env -i PATH="$PATH" PYTHONPATH="$prefix/lib/python3/dist-packages" \
      /usr/bin/python3 -c 'import kestrel, sys
d = kestrel.read(sys.argv[1], strict=True)
assert kestrel.__file__.startswith(sys.argv[2]), kestrel.__file__
print(f"kestrel {kestrel.__version__} module read {len(d.loads)} loads")' "$root/examples/loads.xml" "$prefix")"
  fi
}

cmake --install "$build" --prefix "$work/prefix" >/dev/null
# Nothing of ours outside include/kestrel/.
extra=$(find "$work/prefix/include" -mindepth 1 -maxdepth 1 ! -name kestrel)
[ -z "$extra" ] || { echo "installed outside include/kestrel: $extra" >&2; exit 1; }
# The command finds the script engine module where it is installed, beside the library.
scripts_run() {
  "$1" example > "$work/example.xml"
  local out
  out=$("$1" eval "$work/example.xml" --at 2,0,3 2>&1)
  grep -qx '.*load "gusts" pressure2d_javascript: value 800 Pa; on the footprint' <<<"$out" ||
    { echo "$2: scripts do not run: $out" >&2; exit 1; }
  echo "$2: scripts run"
}
"$work/prefix/bin/kestrel" --version
scripts_run "$work/prefix/bin/kestrel" installed
consume "$work/prefix" installed

(cd "$build" && cpack -G DEB -B "$work/deb" >/dev/null)
deb=$(ls "$work"/deb/*.deb)
echo "$(basename "$deb"): $(dpkg-deb -f "$deb" Depends)"
dpkg-deb -x "$deb" "$work/deb-root"
[ -x "$work/deb-root/usr/bin/kestrel" ] && scripts_run "$work/deb-root/usr/bin/kestrel" deb
consume "$work/deb-root/usr" deb
cd "$root"
