#!/usr/bin/env bash
# Builds the Debian package of the Linux program from the Release build in
# build/linux (configured here if need be): kovral and kvctl, then CPack's
# DEB generator, which installs them under /usr in a staging folder. Prints
# the package's path.
#
# Usage: scripts/package.sh     Environment: KOVRAL_BUILD_LINUX (default build/linux)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
build="${KOVRAL_BUILD_LINUX:-$root/build/linux}"
jobs="${KOVRAL_JOBS:-$(nproc)}"
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}"
export CCACHE_NOHASHDIR=1

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
grep -q '^KOVRAL_QT:BOOL=ON' "$build/CMakeCache.txt" || { echo "package: Qt 6 was not found; run scripts/setup.sh" >&2; exit 1; }
cmake --build "$build" -j"$jobs" --target kovral kvctl >/dev/null
rm -f "$build"/kovral_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/kovral_*.deb)
[ -f "${debs[0]}" ] || { echo "package: cpack made no kovral_*.deb" >&2; exit 1; }
echo "${debs[0]}"
