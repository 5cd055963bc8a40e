#!/usr/bin/env bash
# Builds the Debian package veld-modbus-weather-server: a Release build
# without tests, installed under /usr, in build-package/, then cpack -G DEB.
# Prints the path of the .deb as its last line.
# Dependencies must be installed (tools/install-deps.sh --run brings help2man
# for the man pages; cpack refuses to build the package without them).
#   tools/build-package.sh [BUILD_DIR]   (default: build-package)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$root/build-package}
case "$build_dir" in /*) ;; *) build_dir=$PWD/$build_dir ;; esac

if ! command -v help2man >/dev/null; then
  echo "build-package: help2man is missing (tools/install-deps.sh --run installs it)" >&2
  exit 1
fi

cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DVELD_BUILD_TESTS=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
rm -f "$build_dir"/*.deb
if ! (cd "$build_dir" && cpack -G DEB >cpack.log 2>&1); then
  cat "$build_dir/cpack.log" >&2
  echo "build-package: cpack -G DEB failed" >&2
  exit 1
fi

debs=("$build_dir"/*.deb)
if [ "${#debs[@]}" -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "build-package: expected one .deb in $build_dir, found: ${debs[*]}" >&2
  exit 1
fi
echo "${debs[0]}"
